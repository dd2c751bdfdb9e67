#include "engine/documents/functions_document.h"

#include <algorithm>
#include <stdexcept>

#include "engine/description/description_document.h"
#include "engine/description/dtm_exception.h"
#include "engine/description/reference_id.h"
#include "engine/documents/fdt_document_p.h"
#include "engine/dtm/language_table.h"

namespace engine {

namespace {

constexpr std::string_view kFailureText = "Error on GetFunctions";

bool isTrue(const xml::Node& node, std::string_view attribute) {
    return node.getAttribute(attribute) == "true";
}

// Writes the output entries of one menu node and, recursively, of its children.
class MenuWriter {
public:
    MenuWriter(xml::Document& doc, const LanguageTable& translator, const FunctionsQuery& query)
        : doc_(doc), translator_(translator), query_(query) {}

    void write(const xml::Node& node, xml::Node& parent) {
        if (isTrue(node, "separator")) return writeSeparator(parent);
        if (const xml::Node function = node.selectSingleNode("user:Function")) {
            return writeFunction(node, function, parent);
        }
        if (const xml::Node document = node.selectSingleNode("user:Document")) {
            return writeDocument(document, parent);
        }
        writeSubmenu(node, parent);
    }

private:
    xml::Node append(xml::Node& parent, std::string_view name) {
        return fdt::appendElement(doc_, parent, name, fdt::kFunctionsNs);
    }

    void setFdtName(xml::Node& element, std::string_view value) {
        fdt::setAttributeNS(doc_, element, "fdt:name", fdt::kDataTypesNs, value);
    }

    std::string translatedLabel(const xml::Node& node) const {
        return translator_.translate(fdt::attributeOrEmpty(node, "label"));
    }

    bool isOpen(int32_t functionId) const {
        return std::any_of(
            query_.openApplications.begin(), query_.openApplications.end(),
            [functionId](const OpenApplication& open) { return open.functionId == functionId; });
    }

    void writeSeparator(xml::Node& parent) {
        xml::Node entry = append(parent, "Function");
        entry.setAttribute("label", "");
        setFdtName(entry, "");
        entry.setAttribute("help", "");
        entry.setAttribute("functionId", "");
        xml::Node status = append(entry, "Status");
        status.setAttribute("toggle", "0");
        status.setAttribute("checked", "0");
        status.setAttribute("enabled", "1");
        status.setAttribute("hidden", "0");
        status.setAttribute("separator", "1");
    }

    void writeIcon(const xml::Node& source, xml::Node& entry) {
        if (const auto path = source.getAttribute("iconpath")) {
            append(entry, "Icon").setAttribute("path", *path);
        }
    }

    void writeStatus(const xml::Node& node, bool open, xml::Node& entry) {
        xml::Node status = append(entry, "Status");
        status.setAttribute("toggle", "0");
        status.setAttribute("checked", "0");
        status.setAttribute("hidden", "0");
        status.setAttribute("separator", "0");
        status.setAttribute("enabled", "1");
        if (isTrue(node, "req_online")) {
            status.setAttribute("enabled", query_.communicationState == "ONLINE" ? "1" : "0");
        }
        if (open) status.setAttribute("enabled", "0");
    }

    void writeFunction(const xml::Node& node, const xml::Node& function, xml::Node& parent) {
        const std::string id = fdt::attributeOrEmpty(function, "id");
        const bool open = isOpen(parseLeadingDecimal(id));
        if (const xml::Node appId = function.selectSingleNode("user:AppId")) {
            xml::Node entry = append(parent, "StandardFunction");
            setFdtName(entry, fdt::attributeOrEmpty(node, "name"));
            entry.setAttribute("help", fdt::attributeOrEmpty(node, "helptext"));
            entry.setAttribute("printableStandardFunction", "0");
            entry.setAttribute("functionId", id);
            writeIcon(node, entry);
            writeStatus(node, open, entry);
            xml::Node application =
                fdt::appendElement(doc_, entry, "appId:ApplicationId", fdt::kApplicationIdNs);
            application.setAttribute("applicationId", fdt::attributeOrEmpty(appId, "id"));
            return;
        }
        xml::Node entry = append(parent, "Function");
        entry.setAttribute("label", translatedLabel(node));
        setFdtName(entry, fdt::attributeOrEmpty(node, "name"));
        entry.setAttribute("help", fdt::attributeOrEmpty(node, "helptext"));
        if (isTrue(node, "hasGUI")) entry.setAttribute("hasGUI", "1");
        entry.setAttribute("printable", "0");
        entry.setAttribute("resizable", "1");
        entry.setAttribute("functionId", id);
        writeIcon(node, entry);
        writeStatus(node, open, entry);
        if (const auto applicationId = node.getAttribute("appId:ApplicationId")) {
            xml::Node ids =
                fdt::appendElement(doc_, entry, "appId:FDTApplicationIds", fdt::kApplicationIdNs);
            xml::Node application =
                fdt::appendElement(doc_, ids, "appId:ApplicationId", fdt::kApplicationIdNs);
            application.setAttribute("applicationId", *applicationId);
        }
    }

    void writeDocument(const xml::Node& document, xml::Node& parent) {
        xml::Node entry = append(parent, "Document");
        entry.setAttribute("label", translatedLabel(document));
        entry.setAttribute("help", fdt::attributeOrEmpty(document, "helptext"));
        entry.setAttribute("functionId", fdt::attributeOrEmpty(document, "path"));
        append(entry, "MimeType")
            .setAttribute("mime-type", fdt::attributeOrEmpty(document, "mimetype"));
        append(entry, "OpenWith")
            .setAttribute("programName", fdt::attributeOrEmpty(document, "openwith"));
        writeIcon(document, entry);
    }

    void writeSubmenu(const xml::Node& node, xml::Node& parent) {
        const xml::NodeList children = node.selectNodes("user:Childs");
        if (children.empty()) return;
        const bool standard = !node.selectSingleNode("user:AppId").isNull();
        xml::Node container = append(parent, standard ? "StandardFunctions" : "Functions");
        if (!standard) container.setAttribute("label", translatedLabel(node));
        setFdtName(container, fdt::attributeOrEmpty(node, "name"));
        container.setAttribute("help", fdt::attributeOrEmpty(node, "helptext"));
        for (const xml::Node& child : children) write(child, container);
    }

    xml::Document& doc_;
    const LanguageTable& translator_;
    const FunctionsQuery& query_;
};

// The frame's input must be a document that its schemas accept.
void loadOperationPhase(std::string_view text,
                        const std::shared_ptr<const xml::SchemaCache>& cache) {
    xml::Document input = fdt::newInputDocument(kFailureText);
    input.setAsync(false);
    input.setValidateOnParse(true);
    input.setSchemaCache(cache);
    if (!input.loadXML(text)) {
        const xml::ParseError& error = input.parseError();
        throw CDTMException(parserErrorMessage(error), static_cast<int32_t>(error.code));
    }
}

}  // namespace

FunctionsDocumentBuilder::FunctionsDocumentBuilder(DescriptionSources sources,
                                                   const LanguageTable& translator)
    : sources_(std::move(sources)), translator_(&translator) {
    if (sources_.dtmDocument == nullptr)
        throw std::invalid_argument("functions builder without description");
}

std::string FunctionsDocumentBuilder::build(std::string_view operationPhase,
                                            const FunctionsQuery& query) const {
    loadOperationPhase(operationPhase, sources_.schemaCache);

    xml::Document doc = fdt::newOutputDocument(sources_.schemaCache, kFailureText);
    xml::Node root =
        doc.appendChild(doc.createNode(xml::NodeType::Element, "FDT", fdt::kFunctionsNs));
    root.setAttribute("xmlns", fdt::kFunctionsNs);
    root.setAttribute("xmlns:fdt", fdt::kDataTypesNs);
    root.setAttribute("xmlns:appId", fdt::kApplicationIdNs);

    xml::Node functions = fdt::appendElement(doc, root, "Functions", fdt::kFunctionsNs);
    functions.setAttribute("label", "");
    fdt::setAttributeNS(doc, functions, "fdt:name", fdt::kDataTypesNs, "");
    functions.setAttribute("help", "");

    MenuWriter writer(doc, *translator_, query);
    for (const xml::Node& menu : sources_.dtmDocument->selectNodes("//user:Menu"))
        writer.write(menu, functions);

    fdt::validateOrRaise(doc);
    return root.xml();
}

}  // namespace engine
