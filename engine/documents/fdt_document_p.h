#pragma once
// Shared pieces of the FDT document builders (private to engine/documents).

#include <memory>
#include <string>
#include <string_view>

#include "engine/description/reference_id.h"
#include "platform/xml/document.h"

namespace xml {
class SchemaCache;
}

namespace engine {

class DeviceObject;

namespace fdt {

// Namespace URIs of the FDT schemas.
inline constexpr std::string_view kDataTypesNs = "x-schema:FDTDataTypesSchema.xml";
inline constexpr std::string_view kApplicationIdNs = "x-schema:FDTApplicationIdSchema.xml";
inline constexpr std::string_view kInformationNs = "x-schema:DTMInformationSchema.xml";
inline constexpr std::string_view kFunctionsNs = "x-schema:DTMFunctionsSchema.xml";
inline constexpr std::string_view kParameterNs = "x-schema:DTMParameterSchema.xml";
inline constexpr std::string_view kHartDeviceTypeIdentNs =
    "x-schema:FDTHARTDeviceTypeIdentSchema.xml";
inline constexpr std::string_view kHartIdentNs = "x-schema:FDTHARTIdentSchema.xml";
inline constexpr std::string_view kDtmIdentNs = "x-schema:DTMIdentSchema.xml";

// The HART bus category (registry form without braces) and its name.
inline constexpr std::string_view kHartBusCategory = "036D1498-387B-11D4-86E1-00E0987270B9";
inline constexpr std::string_view kHartBusName = "HART";

// The text of a parameter that the model does not hold.
inline constexpr std::string_view kObjectMissing = "Object missing";

// A fresh output document with the schema cache attached and the XML
// declaration as its first child. A document that cannot be made raises
// CDTMException(failureText, 0).
xml::Document newOutputDocument(const std::shared_ptr<const xml::SchemaCache>& cache,
                                std::string_view failureText);

// A fresh document for loading an input text. A document that cannot be made
// raises CDTMException(failureText, 0).
xml::Document newInputDocument(std::string_view failureText);

// Appends a namespace-qualified element as the last child of parent.
xml::Node appendElement(xml::Document& doc, xml::Node& parent, std::string_view qualifiedName,
                        std::string_view namespaceUri);

// Sets a namespace-qualified attribute made through the document.
void setAttributeNS(xml::Document& doc, xml::Node& element, std::string_view qualifiedName,
                    std::string_view namespaceUri, std::string_view value);

// The attribute's text, or the empty text when it is absent.
std::string attributeOrEmpty(const xml::Node& element, std::string_view name);

// The display text of a parameter held directly by the model, or
// "Object missing". A parameter that cannot write its text raises its error.
std::string parameterText(const DeviceObject& model, ParameterId id);

// Validates doc against its schema cache; a failure raises CDTMException
// with the parser error message and the validation code.
void validateOrRaise(const xml::Document& doc);

}  // namespace fdt
}  // namespace engine
