#include <gtest/gtest.h>

#include "document_fixture.h"
#include "engine/description/dtm_exception.h"
#include "engine/documents/document_answers.h"
#include "engine/documents/information_document.h"

namespace engine {
namespace {

using testing::attributeNames;
using testing::DocumentFixture;
using testing::readBack;
using testing::validationFailure;

std::string attribute(const xml::Document& doc, const std::string& path) {
    const xml::Node node = doc.selectSingleNode(path);
    return node ? node.text() : "<absent>";
}

TEST(InformationDocument, FullDescriptionGivesEveryElementInOrder) {
    DocumentFixture fixture;
    const std::string text = InformationDocumentBuilder(fixture.sources()).buildInformation();
    EXPECT_EQ(text.rfind("<FDT", 0), 0u) << "root element only, no XML declaration: " << text;
    EXPECT_EQ(validationFailure(text), "");

    const xml::Document doc = readBack(text);
    const xml::Node root = doc.documentElement();
    EXPECT_EQ(root.namespaceURI(), "x-schema:DTMInformationSchema.xml");
    EXPECT_EQ(root.getAttribute("xmlns:fdtappid"), "x-schema:FDTApplicationIdSchema.xml");

    EXPECT_EQ(attributeNames(doc.selectSingleNode("/info:FDT/info:DtmInfo/info:FDTVersion")),
              "major minor");
    EXPECT_EQ(attribute(doc, "//info:FDTVersion/@major"), "1");
    EXPECT_EQ(attribute(doc, "//info:FDTVersion/@minor"), "2");

    const xml::Node dtmVersion =
        doc.selectSingleNode("/info:FDT/info:DtmInfo/fdt:VersionInformation");
    EXPECT_EQ(attributeNames(dtmVersion), "name vendor version date descriptor");
    EXPECT_EQ(dtmVersion.getAttribute("vendor"), "Test Vendor");
    EXPECT_EQ(dtmVersion.getAttribute("descriptor"), "test DTM");

    const xml::Node type =
        doc.selectSingleNode("/info:FDT/info:DtmInfo/info:DtmDeviceTypes/fdt:DtmDeviceType");
    ASSERT_TRUE(type);
    EXPECT_EQ(attributeNames(type), "manufacturerId deviceTypeId deviceTypeInformation");
    std::string children;
    for (const xml::Node& child : type.childElements()) children += child.nodeName() + " ";
    EXPECT_EQ(children,
              "fdt:VersionInformation fdt:SupportedLanguages fdt:BusCategories fdt:DeviceIcon ");
    EXPECT_EQ(attribute(doc, "//fdt:DtmDeviceType/fdt:VersionInformation/@version"), "4.5");
    EXPECT_EQ(attribute(doc, "//fdt:SupportedLanguages/fdt:LanguageId/@languageId"), "1033");
    EXPECT_EQ(doc.selectNodes("//fdt:LanguageId").size(), 1u);
    const xml::Node bus = doc.selectSingleNode("//fdt:BusCategories/fdt:BusCategory");
    EXPECT_EQ(attributeNames(bus), "busCategory busCategoryName");
    EXPECT_EQ(bus.getAttribute("busCategory"), "036D1498-387B-11D4-86E1-00E0987270B9");
    EXPECT_EQ(bus.getAttribute("busCategoryName"), "HART");
    EXPECT_EQ(attribute(doc, "//fdt:BusCategory/fdt:CommunicationTypeEntry/@communicationType"),
              "required");
    EXPECT_EQ(attribute(doc, "//fdt:DeviceIcon/@path"), "/icons/device.ico");
}

TEST(InformationDocument, ManufacturerAndDeviceTypeNameTheDeviceType) {
    DocumentFixture fixture;
    const xml::Document doc =
        readBack(InformationDocumentBuilder(fixture.sources()).buildInformation());
    EXPECT_EQ(attribute(doc, "//fdt:DtmDeviceType/@manufacturerId"), "101");
    EXPECT_EQ(attribute(doc, "//fdt:DtmDeviceType/@deviceTypeId"), "202");
    EXPECT_EQ(attribute(doc, "//fdt:DtmDeviceType/@deviceTypeInformation"), "DD-Vers.:101-202-1-1");

    // The values are read at the time of the call.
    fixture.at(kManufacturerId).setValueText("17", kDisplayMode);
    const xml::Document again =
        readBack(InformationDocumentBuilder(fixture.sources()).buildInformation());
    EXPECT_EQ(attribute(again, "//fdt:DtmDeviceType/@deviceTypeInformation"),
              "DD-Vers.:17-202-1-1");
}

TEST(InformationDocument, DeviceTypeInformationKeepsLongTextsWhole) {
    const std::string manufacturer(150, 'm');
    const std::string type(120, 't');
    EXPECT_EQ(deviceTypeInformation(manufacturer, type),
              "DD-Vers.:" + manufacturer + "-" + type + "-1-1");
    EXPECT_EQ(deviceTypeInformation("", ""), "DD-Vers.:--1-1");
}

TEST(InformationDocument, WithoutDtmVersionOnlyAnEmptyName) {
    DocumentFixture fixture("dtm_minimal.xml");
    const std::string text = InformationDocumentBuilder(fixture.sources()).buildInformation();
    EXPECT_EQ(validationFailure(text), "");
    const xml::Document doc = readBack(text);
    const xml::Node version = doc.selectSingleNode("/info:FDT/info:DtmInfo/fdt:VersionInformation");
    EXPECT_EQ(attributeNames(version), "name");
    EXPECT_EQ(version.getAttribute("name"), "");
    const xml::Node types = doc.selectSingleNode("//info:DtmDeviceTypes");
    ASSERT_TRUE(types) << "the device type list is there, empty";
    EXPECT_TRUE(types.childElements().empty());
}

TEST(InformationDocument, VersionsWithOnlyANameGetEmptyAttributes) {
    DocumentFixture fixture("dtm_names_only.xml");
    const std::string text = InformationDocumentBuilder(fixture.sources()).buildInformation();
    EXPECT_EQ(validationFailure(text), "");
    const xml::Document doc = readBack(text);
    const xml::Node dtmVersion =
        doc.selectSingleNode("/info:FDT/info:DtmInfo/fdt:VersionInformation");
    EXPECT_EQ(attributeNames(dtmVersion), "name vendor version date descriptor");
    EXPECT_EQ(dtmVersion.getAttribute("name"), "ONLYNAME");
    for (const char* name : {"vendor", "version", "date", "descriptor"}) {
        EXPECT_EQ(dtmVersion.getAttribute(name), "") << name;
    }
    const xml::Node first = doc.selectSingleNode("//fdt:DtmDeviceType/fdt:VersionInformation");
    EXPECT_EQ(attributeNames(first), "name vendor version date descriptor");
    EXPECT_EQ(first.getAttribute("name"), "first");
    EXPECT_EQ(first.getAttribute("date"), "");
}

TEST(InformationDocument, TwoDeviceVersionsGiveTwoCompleteDeviceTypes) {
    DocumentFixture fixture("dtm_names_only.xml");
    const xml::Document doc =
        readBack(InformationDocumentBuilder(fixture.sources()).buildInformation());
    const xml::NodeList types = doc.selectNodes("//info:DtmDeviceTypes/fdt:DtmDeviceType");
    ASSERT_EQ(types.size(), 2u);
    for (const xml::Node& type : types) {
        EXPECT_EQ(type.getAttribute("manufacturerId"), "101");
        EXPECT_EQ(type.getAttribute("deviceTypeId"), "202");
        EXPECT_EQ(type.getAttribute("deviceTypeInformation"), "DD-Vers.:101-202-1-1");
        EXPECT_EQ(type.childElements().size(), 4u) << "versions, languages, buses, icon";
    }
    EXPECT_EQ(types[0].selectSingleNode("fdt:VersionInformation/@name").text(), "first");
    EXPECT_EQ(types[1].selectSingleNode("fdt:VersionInformation/@name").text(), "second");
    EXPECT_EQ(types[1].selectSingleNode("fdt:VersionInformation/@vendor").text(), "v2");
}

TEST(InformationDocument, EmptyIconPathLeavesOutOnlyTheIcon) {
    DocumentFixture fixture;
    const std::string text = InformationDocumentBuilder(fixture.sources("")).buildInformation();
    EXPECT_EQ(validationFailure(text), "");
    const xml::Document doc = readBack(text);
    EXPECT_TRUE(doc.selectNodes("//fdt:DeviceIcon").empty());
    const xml::Node type = doc.selectSingleNode("//fdt:DtmDeviceType");
    ASSERT_TRUE(type);
    EXPECT_EQ(type.childElements().size(), 3u);
    EXPECT_TRUE(doc.selectSingleNode("//fdt:CommunicationTypeEntry"));
}

TEST(InformationDocument, MissingParametersReadObjectMissing) {
    DocumentFixture fixture("dtm_full.xml", /*loadModelNow=*/false);
    const xml::Document doc =
        readBack(InformationDocumentBuilder(fixture.sources()).buildInformation());
    EXPECT_EQ(attribute(doc, "//fdt:DtmDeviceType/@manufacturerId"), "Object missing");
    EXPECT_EQ(attribute(doc, "//fdt:DtmDeviceType/@deviceTypeInformation"),
              "DD-Vers.:Object missing-Object missing-1-1");
}

TEST(InformationDocument, ValidationFailureRaisesTheParserError) {
    DocumentFixture fixture;
    DescriptionSources sources = fixture.sources();
    sources.schemaCache = testing::schemasFrom(testing::documentsFixture("strict_schemas"));
    const InformationDocumentBuilder builder(sources);
    try {
        builder.buildInformation();
        FAIL() << "the document must not validate";
    } catch (const CDTMException& error) {
        EXPECT_EQ(error.message().rfind("Parser Error at line ", 0), 0u) << error.message();
        EXPECT_NE(error.message().find(" \nReason: "), std::string::npos) << error.message();
    }
    // The identification document is not validated.
    EXPECT_NO_THROW(builder.buildDeviceIdentification());

    const DocumentAnswer answer = answerInformation(builder);
    EXPECT_EQ(answer.result, E_POINTER);
    EXPECT_FALSE(answer.text.has_value());
    EXPECT_EQ(answer.errorBox, "Unkown Error");
}

TEST(DeviceIdentification, ElementsAttributesAndValues) {
    DocumentFixture fixture;
    const std::string text =
        InformationDocumentBuilder(fixture.sources()).buildDeviceIdentification();
    EXPECT_EQ(text.rfind("<FDT", 0), 0u) << text;
    EXPECT_EQ(validationFailure(text), "");

    const xml::Document doc = readBack(text);
    const xml::Node root = doc.documentElement();
    EXPECT_EQ(root.namespaceURI(), "");
    EXPECT_EQ(root.getAttribute("xmlns:ident"), "x-schema:DTMIdentSchema.xml");
    EXPECT_EQ(attribute(doc, "/FDT/DevId:DeviceIdentifications/@fdt:busCategory"),
              "036D1498-387B-11D4-86E1-00E0987270B9");
    const xml::Node device =
        doc.selectSingleNode("/FDT/DevId:DeviceIdentifications/DevId:DeviceIdentification");
    ASSERT_TRUE(device);
    EXPECT_EQ(device.getAttribute("hartident:idDTMSupportLevel"), "specificSupport");

    struct Expected {
        const char* element;
        const char* attribute;  // nullptr: none
        const char* value;
    };
    const Expected expected[] = {
        {"DevId:IdBusProtocol", "hartident:busProtocol", "HART"},
        {"DevId:IdBusProtocolVersion", "hartident:universalCommandRevisionLevel", "7"},
        {"DevId:IdManufacturer", "hartident:manufacturerIdentificationCode", "101"},
        {"DevId:IdTypeID", "hartident:deviceTypeID", "202"},
        {"DevId:IdSoftwareRevision", "hartident:softwareRevision", "3"},
        {"DevId:IdHardwareRevision", nullptr, ""},
        {"DevId:DeviceCommandRevisionLevel", "hartident:deviceCommandRevisionLevel", "2"},
        {"DevId:DeviceFlag", "hartident:deviceFlag", "9"},
    };
    const xml::NodeList children = device.childElements();
    ASSERT_EQ(children.size(), std::size(expected));
    for (std::size_t i = 0; i < children.size(); ++i) {
        const Expected& e = expected[i];
        EXPECT_EQ(children[i].nodeName(), e.element);
        EXPECT_EQ(children[i].namespaceURI(), "x-schema:FDTHARTDeviceTypeIdentSchema.xml");
        EXPECT_EQ(attributeNames(children[i]), e.attribute ? e.attribute : "") << e.element;
        if (e.attribute) {
            EXPECT_EQ(children[i].getAttribute(e.attribute), e.value) << e.element;
        }
    }
    EXPECT_EQ(attribute(doc, "//DevId:IdHardwareRevision/hartident:RegExpr/@match"), "[0-9]");
}

}  // namespace
}  // namespace engine
