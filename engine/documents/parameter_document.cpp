#include "engine/documents/parameter_document.h"

#include <map>
#include <optional>
#include <stdexcept>
#include <vector>

#include "engine/description/dtm_exception.h"
#include "engine/documents/fdt_document_p.h"
#include "engine/documents/parameter_value_forms.h"
#include "engine/parameters/device_object.h"
#include "engine/parameters/value_parameter.h"

namespace engine {

namespace {

constexpr std::string_view kBuildFailureText = "Error on GetInformation";
constexpr std::string_view kUpdateFailureText = "Error on SetParameters";
constexpr std::string_view kUpdateNamespaces =
    "xmlns:user='x-schema:DTMParameterSchema.xml' xmlns:fdt='x-schema:FDTDataTypesSchema.xml'";
constexpr int32_t kLowestUpdateLevel = 2;

// The parameters that the document lists, in the model's order.
std::vector<ValueParameter*> documentParameters(const DeviceObject& model) {
    std::vector<ValueParameter*> parameters;
    for (ParameterId id : model.idList()) {
        ValueParameter* parameter = model.find(id);
        if (parameter != nullptr && !parameter->isUserCreated()) parameters.push_back(parameter);
    }
    return parameters;
}

void appendVariable(xml::Document& doc, xml::Node& variables, ValueParameter& parameter) {
    xml::Node variable = fdt::appendElement(doc, variables, "fdt:DtmVariable", fdt::kDataTypesNs);
    variable.setAttribute("name", parameter.getLabel());
    variable.setAttribute("descriptor", parameter.getDescription());

    xml::Node value = fdt::appendElement(doc, variable, "fdt:Value", fdt::kDataTypesNs);
    value.setAttribute("writeAccess", parameter.isWritable() ? "1" : "0");
    value.setAttribute("readAccess", parameter.isReadable() ? "1" : "0");

    xml::Node variant = fdt::appendElement(doc, value, "fdt:Variant", fdt::kDataTypesNs);
    const std::optional<FdtValueType> type = fdtValueTypeOf(engineTypeNameOf(parameter));
    if (!type) return;
    variant.setAttribute("dataType", type->dataType);
    xml::Node data =
        fdt::appendElement(doc, variant, valueElementName(type->element), fdt::kDataTypesNs);
    data.setAttribute(valueAttributeName(type->element),
                      documentValueText(parameter, type->element));
}

// The parameters that the variables of an update name, and what the document
// showed for each of them before the update began.
class UpdateTargets {
public:
    explicit UpdateTargets(const DeviceObject& model) {
        for (ValueParameter* parameter : documentParameters(model)) {
            byLabel_[parameter->getLabel()].push_back(parameter);
            remember(*parameter);
        }
    }

    // The k-th variable of a name gets the k-th parameter of that label, so
    // that parameters sharing a label each get their own variable back; a
    // name used more often than the label goes to its first parameter.
    ValueParameter* take(const std::string& name) {
        const auto found = byLabel_.find(name);
        if (found == byLabel_.end()) return nullptr;
        std::size_t& used = used_[name];
        ValueParameter* parameter =
            used < found->second.size() ? found->second[used] : found->second.front();
        ++used;
        return parameter;
    }

    // True when text is what the document showed for the parameter before the
    // update: no edit. Handing such a value back could undo an edit made
    // through another entry for the same data (the tag, a bitmap and its bit
    // ranges, a composite and its components), or replace a value that the
    // binData number cannot carry.
    bool unedited(const ValueParameter& parameter, std::string_view text,
                  ValueElement element) const {
        const auto found = before_.find(&parameter);
        return found != before_.end() && found->second.element == element &&
               sameDocumentValue(found->second.text, text, element);
    }

private:
    struct Shown {
        ValueElement element;
        std::string text;
    };

    void remember(const ValueParameter& parameter) {
        const std::optional<FdtValueType> type = fdtValueTypeOf(engineTypeNameOf(parameter));
        if (!type) return;
        try {
            before_.emplace(&parameter,
                            Shown{type->element, documentValueText(parameter, type->element)});
        } catch (const CDTMException&) {
            // A value that cannot be written was not shown; any text counts as an edit.
        }
    }

    std::map<std::string, std::vector<ValueParameter*>, std::less<>> byLabel_;
    std::map<std::string, std::size_t, std::less<>> used_;
    std::map<const ValueParameter*, Shown> before_;
};

// The value text of a variant and the element it came from; nullopt when the
// variant holds none.
struct VariantValue {
    std::string text;
    ValueElement element;
};

std::optional<VariantValue> variantValue(const xml::Node& variant) {
    static constexpr std::pair<std::string_view, ValueElement> kPaths[] = {
        {"fdt:NumberData/@number", ValueElement::Number},
        {"fdt:StringData/@string", ValueElement::String},
        {"fdt:TimeData/@time", ValueElement::Time},
        {"fdt:BinaryVariable/@binData", ValueElement::Binary},
    };
    for (const auto& [path, element] : kPaths) {
        if (const xml::Node value = variant.selectSingleNode(path))
            return VariantValue{value.text(), element};
    }
    return std::nullopt;
}

// False when the variable cannot be applied.
bool applyVariable(const xml::Node& variable, UpdateTargets& targets) {
    ValueParameter* parameter = targets.take(fdt::attributeOrEmpty(variable, "name"));
    if (parameter == nullptr) return false;
    const xml::Node value = variable.selectSingleNode("fdt:Value");
    const xml::Node variant = value ? value.selectSingleNode("fdt:Variant") : xml::Node();
    if (!variant) return false;
    if (!parameter->isWritable()) return true;
    const std::optional<VariantValue> data = variantValue(variant);
    if (!data) {
        // A type without an FDT form is written as an empty variant; getting
        // that back is no fault.
        return !fdtValueTypeOf(engineTypeNameOf(*parameter)).has_value();
    }
    if (!targets.unedited(*parameter, data->text, data->element)) {
        if (data->element == ValueElement::Binary) {
            setFromBinData(*parameter, data->text);
        } else {
            parameter->setValueText(data->text, kDisplayMode);
        }
    }
    parameter->setChanged(true);
    return true;
}

}  // namespace

ParameterDocumentBuilder::ParameterDocumentBuilder(const InformationDocumentBuilder& information)
    : information_(&information) {}

std::string ParameterDocumentBuilder::build() const {
    const DescriptionSources& sources = information_->sources();
    DeviceObject& model = *sources.model;

    xml::Document doc = fdt::newOutputDocument(sources.schemaCache, kBuildFailureText);
    xml::Node root =
        doc.appendChild(doc.createNode(xml::NodeType::Element, "FDT", fdt::kParameterNs));
    root.setAttribute("xmlns", fdt::kParameterNs);
    root.setAttribute("xmlns:fdt", fdt::kDataTypesNs);
    fdt::setAttributeNS(doc, root, "fdt:storageState", fdt::kDataTypesNs, model.storageState());
    fdt::setAttributeNS(doc, root, "fdt:dataSetState", fdt::kDataTypesNs, model.dataSetState());

    information_->appendDeviceTypes(doc, root);

    xml::Node device = fdt::appendElement(doc, root, "DtmDevice", fdt::kParameterNs);
    fdt::setAttributeNS(doc, device, "fdt:tag", fdt::kDataTypesNs, model.tag());
    xml::Node bus = fdt::appendElement(doc, device, "BusInformation", fdt::kParameterNs);
    xml::Node masterSlave = fdt::appendElement(doc, bus, "MasterSlaveBus", fdt::kParameterNs);
    masterSlave.setAttribute("busAddress", fdt::parameterText(model, kShortAddressId));
    masterSlave.setAttribute("busMasterConfigurationPart", "");

    xml::Node exported = fdt::appendElement(doc, device, "ExportedVariables", fdt::kParameterNs);
    xml::Node variables = fdt::appendElement(doc, exported, "fdt:DtmVariables", fdt::kDataTypesNs);
    variables.setAttribute("name", "Parameter");
    variables.setAttribute("descriptor", "root of parameters");
    for (ValueParameter* parameter : documentParameters(model))
        appendVariable(doc, variables, *parameter);

    fdt::validateOrRaise(doc);
    return root.xml();
}

ParameterUpdater::ParameterUpdater(DescriptionSources sources) : sources_(std::move(sources)) {
    if (sources_.model == nullptr) throw std::invalid_argument("parameter update without model");
}

ParameterUpdateResult ParameterUpdater::apply(std::string_view document, int32_t userLevel,
                                              const std::function<bool()>& lockDataSet) {
    if (userLevel < kLowestUpdateLevel) return ParameterUpdateResult::Refused;
    if (!lockDataSet || !lockDataSet()) return ParameterUpdateResult::Refused;

    xml::Document doc = fdt::newInputDocument(kUpdateFailureText);
    doc.setAsync(false);
    doc.setValidateOnParse(true);
    doc.setSchemaCache(sources_.schemaCache);
    if (!doc.loadXML(document)) return ParameterUpdateResult::Failed;
    doc.setProperty("SelectionLanguage", "XPath");
    doc.setProperty("SelectionNamespaces", kUpdateNamespaces);

    DeviceObject& model = *sources_.model;
    UpdateTargets targets(model);  // before anything changes
    bool result = false;
    if (const xml::Node device = doc.selectSingleNode("//user:DtmDevice")) {
        if (const xml::Node tag = device.selectSingleNode("@fdt:tag")) {
            model.setTag(tag.text());
            result = true;
        }
    }
    if (const xml::Node address = doc.selectSingleNode("//user:MasterSlaveBus/@busAddress")) {
        model.setValue(kShortAddressId, address.text(), kDisplayMode);
        result = true;
    }
    for (const xml::Node& variable : doc.selectNodes("//fdt:DtmVariable")) {
        result = applyVariable(variable, targets);
        if (!result) break;
    }
    return result ? ParameterUpdateResult::Applied : ParameterUpdateResult::Failed;
}

}  // namespace engine
