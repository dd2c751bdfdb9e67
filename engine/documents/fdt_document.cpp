#include <new>

#include "engine/description/description_document.h"
#include "engine/description/dtm_exception.h"
#include "engine/documents/fdt_document_p.h"
#include "engine/parameters/device_object.h"
#include "engine/parameters/value_parameter.h"
#include "platform/xml/schema_cache.h"

namespace engine::fdt {

namespace {

xml::Document makeDocument(std::string_view failureText) {
    try {
        return xml::Document();
    } catch (const std::bad_alloc&) {
        throw CDTMException(std::string(failureText), 0);
    }
}

}  // namespace

xml::Document newOutputDocument(const std::shared_ptr<const xml::SchemaCache>& cache,
                                std::string_view failureText) {
    xml::Document doc = makeDocument(failureText);
    doc.setSchemaCache(cache);
    doc.appendChild(doc.createProcessingInstruction("xml", "version=\"1.0\" encoding=\"UTF-8\""));
    return doc;
}

xml::Document newInputDocument(std::string_view failureText) {
    return makeDocument(failureText);
}

xml::Node appendElement(xml::Document& doc, xml::Node& parent, std::string_view qualifiedName,
                        std::string_view namespaceUri) {
    return parent.appendChild(doc.createNode(xml::NodeType::Element, qualifiedName, namespaceUri));
}

void setAttributeNS(xml::Document& doc, xml::Node& element, std::string_view qualifiedName,
                    std::string_view namespaceUri, std::string_view value) {
    xml::Node attribute = doc.createNode(xml::NodeType::Attribute, qualifiedName, namespaceUri);
    attribute.setText(value);
    element.setAttributeNode(attribute);
}

std::string attributeOrEmpty(const xml::Node& element, std::string_view name) {
    return element.getAttribute(name).value_or(std::string());
}

std::string parameterText(const DeviceObject& model, ParameterId id) {
    const ValueParameter* parameter = model.find(id);
    if (parameter == nullptr) return std::string(kObjectMissing);
    return parameter->getValueText(kDisplayMode);
}

void validateOrRaise(const xml::Document& doc) {
    const xml::ParseError error = doc.validate();
    if (error.failed())
        throw CDTMException(parserErrorMessage(error), static_cast<int32_t>(error.code));
}

}  // namespace engine::fdt
