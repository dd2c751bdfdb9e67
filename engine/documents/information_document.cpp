#include "engine/documents/information_document.h"

#include <stdexcept>

#include "engine/documents/fdt_document_p.h"
#include "engine/parameters/device_object.h"

namespace engine {

namespace {

constexpr std::string_view kFailureText = "Error on GetInformation";
constexpr std::string_view kVersionAttributes[] = {"name", "vendor", "version", "date",
                                                   "descriptor"};

// All five version attributes of source, absent ones as empty texts.
void copyVersionAttributes(const xml::Node& source, xml::Node& target) {
    for (std::string_view name : kVersionAttributes) {
        target.setAttribute(name, fdt::attributeOrEmpty(source, name));
    }
}

// One identification element: attribute `attribute` set to `value`.
void appendIdentification(xml::Document& doc, xml::Node& parent, std::string_view element,
                          std::string_view attribute, std::string_view value) {
    xml::Node node = fdt::appendElement(doc, parent, element, fdt::kHartDeviceTypeIdentNs);
    node.setAttribute(attribute, value);
}

}  // namespace

std::string deviceTypeInformation(const std::string& manufacturer, const std::string& deviceType) {
    return "DD-Vers.:" + manufacturer + "-" + deviceType + "-1-1";
}

InformationDocumentBuilder::InformationDocumentBuilder(DescriptionSources sources)
    : sources_(std::move(sources)) {
    if (sources_.dtmDocument == nullptr || sources_.model == nullptr) {
        throw std::invalid_argument("document builder without description or model");
    }
}

void InformationDocumentBuilder::appendDeviceTypes(xml::Document& doc, xml::Node& parent) const {
    for (const xml::Node& version : sources_.dtmDocument->selectNodes("//user:DeviceVersion")) {
        xml::Node type = fdt::appendElement(doc, parent, "fdt:DtmDeviceType", fdt::kDataTypesNs);
        const std::string manufacturer = fdt::parameterText(*sources_.model, kManufacturerId);
        const std::string deviceType = fdt::parameterText(*sources_.model, kDeviceTypeId);
        type.setAttribute("manufacturerId", manufacturer);
        type.setAttribute("deviceTypeId", deviceType);
        type.setAttribute("deviceTypeInformation", deviceTypeInformation(manufacturer, deviceType));

        xml::Node info = fdt::appendElement(doc, type, "fdt:VersionInformation", fdt::kDataTypesNs);
        copyVersionAttributes(version, info);

        xml::Node languages =
            fdt::appendElement(doc, type, "fdt:SupportedLanguages", fdt::kDataTypesNs);
        xml::Node language =
            fdt::appendElement(doc, languages, "fdt:LanguageId", fdt::kDataTypesNs);
        language.setAttribute("languageId", "1033");

        xml::Node buses = fdt::appendElement(doc, type, "fdt:BusCategories", fdt::kDataTypesNs);
        xml::Node bus = fdt::appendElement(doc, buses, "fdt:BusCategory", fdt::kDataTypesNs);
        bus.setAttribute("busCategory", fdt::kHartBusCategory);
        bus.setAttribute("busCategoryName", fdt::kHartBusName);
        xml::Node entry =
            fdt::appendElement(doc, bus, "fdt:CommunicationTypeEntry", fdt::kDataTypesNs);
        entry.setAttribute("communicationType", "required");

        if (!sources_.iconPath.empty()) {
            xml::Node icon = fdt::appendElement(doc, type, "fdt:DeviceIcon", fdt::kDataTypesNs);
            icon.setAttribute("path", sources_.iconPath);
        }
    }
}

std::string InformationDocumentBuilder::buildInformation() const {
    xml::Document doc = fdt::newOutputDocument(sources_.schemaCache, kFailureText);
    xml::Node root =
        doc.appendChild(doc.createNode(xml::NodeType::Element, "FDT", fdt::kInformationNs));
    root.setAttribute("xmlns", fdt::kInformationNs);
    root.setAttribute("xmlns:fdt", fdt::kDataTypesNs);
    root.setAttribute("xmlns:fdtappid", fdt::kApplicationIdNs);

    xml::Node dtmInfo = fdt::appendElement(doc, root, "DtmInfo", fdt::kInformationNs);
    xml::Node fdtVersion = fdt::appendElement(doc, dtmInfo, "FDTVersion", fdt::kInformationNs);
    fdtVersion.setAttribute("major", "1");
    fdtVersion.setAttribute("minor", "2");

    xml::Node info = fdt::appendElement(doc, dtmInfo, "fdt:VersionInformation", fdt::kDataTypesNs);
    if (const xml::Node dtmVersion = sources_.dtmDocument->selectSingleNode("//user:DTMVersion")) {
        copyVersionAttributes(dtmVersion, info);
    } else {
        info.setAttribute("name", "");
    }

    xml::Node deviceTypes = fdt::appendElement(doc, dtmInfo, "DtmDeviceTypes", fdt::kInformationNs);
    appendDeviceTypes(doc, deviceTypes);

    fdt::validateOrRaise(doc);
    return root.xml();
}

std::string InformationDocumentBuilder::buildDeviceIdentification() const {
    xml::Document doc = fdt::newOutputDocument(sources_.schemaCache, kFailureText);
    xml::Node root = doc.appendChild(doc.createNode(xml::NodeType::Element, "FDT", ""));
    root.setAttribute("xmlns:DevId", fdt::kHartDeviceTypeIdentNs);
    root.setAttribute("xmlns:hartident", fdt::kHartIdentNs);
    root.setAttribute("xmlns:fdt", fdt::kDataTypesNs);
    root.setAttribute("xmlns:ident", fdt::kDtmIdentNs);

    xml::Node identifications =
        fdt::appendElement(doc, root, "DevId:DeviceIdentifications", fdt::kHartDeviceTypeIdentNs);
    identifications.setAttribute("fdt:busCategory", fdt::kHartBusCategory);
    xml::Node device = fdt::appendElement(doc, identifications, "DevId:DeviceIdentification",
                                          fdt::kHartDeviceTypeIdentNs);
    device.setAttribute("hartident:idDTMSupportLevel", "specificSupport");

    const DeviceObject& model = *sources_.model;
    appendIdentification(doc, device, "DevId:IdBusProtocol", "hartident:busProtocol",
                         fdt::kHartBusName);
    appendIdentification(doc, device, "DevId:IdBusProtocolVersion",
                         "hartident:universalCommandRevisionLevel",
                         fdt::parameterText(model, kUniversalRevisionId));
    appendIdentification(doc, device, "DevId:IdManufacturer",
                         "hartident:manufacturerIdentificationCode",
                         fdt::parameterText(model, kManufacturerId));
    appendIdentification(doc, device, "DevId:IdTypeID", "hartident:deviceTypeID",
                         fdt::parameterText(model, kDeviceTypeId));
    appendIdentification(doc, device, "DevId:IdSoftwareRevision", "hartident:softwareRevision",
                         fdt::parameterText(model, kSoftwareRevisionId));
    xml::Node hardware =
        fdt::appendElement(doc, device, "DevId:IdHardwareRevision", fdt::kHartDeviceTypeIdentNs);
    xml::Node pattern = fdt::appendElement(doc, hardware, "hartident:RegExpr", fdt::kHartIdentNs);
    pattern.setAttribute("match", "[0-9]");
    appendIdentification(doc, device, "DevId:DeviceCommandRevisionLevel",
                         "hartident:deviceCommandRevisionLevel",
                         fdt::parameterText(model, kDeviceRevisionId));
    appendIdentification(doc, device, "DevId:DeviceFlag", "hartident:deviceFlag",
                         fdt::parameterText(model, kDeviceFlagsId));
    return root.xml();
}

}  // namespace engine
