#include <gtest/gtest.h>

#include "document_fixture.h"
#include "engine/documents/document_answers.h"
#include "engine/documents/parameter_document.h"
#include "engine/documents/parameter_value_forms.h"

namespace engine {
namespace {

using testing::attributeNames;
using testing::DocumentFixture;
using testing::readBack;
using testing::validationFailure;

TEST(ParameterValueForms, TypeMapping) {
    struct Case {
        const char* type;
        const char* dataType;
        ValueElement element;
    };
    const Case cases[] = {
        {"unsigned8", "byte", ValueElement::Number},
        {"unsigned16", "unsigned", ValueElement::Number},
        {"unsigned24", "unsigned", ValueElement::Number},
        {"unsigned32", "unsigned", ValueElement::Number},
        {"signed8", "int", ValueElement::Number},
        {"signed24", "int", ValueElement::Number},
        {"float", "float", ValueElement::Number},
        {"double", "double", ValueElement::Number},
        {"string", "ascii", ValueElement::String},
        {"packed_ascii", "packedAscii", ValueElement::String},
        {"octet_string", "bitString", ValueElement::String},
        {"bitmap", "dtmSpecific", ValueElement::Binary},
        {"bit_range", "dtmSpecific", ValueElement::Binary},
        {"complex", "dtmSpecific", ValueElement::Binary},
        {"custom", "dtmSpecific", ValueElement::Binary},
        {"pointer", "dtmSpecific", ValueElement::Binary},
        {"date", "date", ValueElement::Time},
        {"time", "time", ValueElement::Time},
        {"time_date", "dateAndTime", ValueElement::Time},
    };
    for (const Case& c : cases) {
        const std::optional<FdtValueType> type = fdtValueTypeOf(c.type);
        ASSERT_TRUE(type.has_value()) << c.type;
        EXPECT_EQ(type->dataType, c.dataType) << c.type;
        EXPECT_EQ(type->element, c.element) << c.type;
    }
    for (const char* unmapped : {"Float", "array", "", "unsigned64"}) {
        EXPECT_FALSE(fdtValueTypeOf(unmapped).has_value()) << unmapped;
    }
    EXPECT_EQ(valueElementName(ValueElement::Binary), "fdt:BinaryVariable");
    EXPECT_EQ(valueAttributeName(ValueElement::Time), "time");
}

TEST(ParameterValueForms, BinDataOfNumberTexts) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"5", "1", "05"},
        {"5", "", "00000005"},
        {"5", "0", "00000005"},
        {"5", "3", "000005"},
        {"-1", "", "FFFFFFFF"},  // two's complement
        {"-2", "0", "FFFFFFFE"},
        {"-1", "1", "FFFFFFFF"},  // never shortened
        {"300", "1", "012C"},     // wider than the size: whole bytes
        {"12abc", "2", "000C"},   // leading digits
        {"abc", "1", "00"},       // no digits: 0
        {"255", "6", "0000000000FF"},
    };
    for (const auto& [value, size, expected] : cases) {
        EXPECT_EQ(binDataOfNumberText(value, size), expected) << value << " size " << size;
    }
    const std::string widest = binDataOfNumberText("1", "99999");
    EXPECT_EQ(widest.size(), 2 * kMaxBinDataBytes) << "the padding of an absurd size is bounded";
    EXPECT_EQ(widest.back(), '1');
}

TEST(ParameterValueForms, NumberOfBinDataInvertsTheNumberForm) {
    const std::pair<const char*, std::optional<int32_t>> cases[] = {
        {"05", 5},
        {"00000005", 5},
        {"FFFFFFFF", -1},
        {"ffFFfffe", -2},
        {"012C", 300},
        {"0000000000FF", 255},
        {"7FFFFFFF", 2147483647},
        {"100000000", std::nullopt},  // beyond 32 bits
        {"", std::nullopt},
        {"0x05", std::nullopt},
        {"5G", std::nullopt},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(numberOfBinData(text), expected) << text;
    for (const char* number : {"0", "7", "-7", "65535", "-2147483648", "2147483647"}) {
        EXPECT_EQ(numberOfBinData(binDataOfNumberText(number, "")), parseLeadingDecimal(number))
            << number;
    }
}

TEST(ParameterValueForms, BitmapBinDataIsItsBytes) {
    EXPECT_EQ(binDataOfBitmap("05", "1"), "05");
    EXPECT_EQ(binDataOfBitmap("000005", "3"), "000005");
    EXPECT_EQ(binDataOfBitmap("", ""), "00000000");
    EXPECT_EQ(binDataOfBitmap("A5", ""), "000000A5");
    EXPECT_EQ(bitmapDeviceText("000000A5", 1), "A5");
    EXPECT_EQ(bitmapDeviceText("5", 2), "0005");
    EXPECT_EQ(bitmapDeviceText("0102", 0), "0102");
}

TEST(ParameterValueForms, BitmapParametersGiveTheirBytes) {
    DocumentFixture fixture;
    ValueParameter& alarms = fixture.at(203);       // size 1
    ValueParameter& wide = fixture.at(204);         // size 3
    ValueParameter& loose = fixture.at(205);        // no size
    alarms.setValueText("10100000", kDisplayMode);  // bits 0 and 2: value 5
    wide.setValueText("101", kDisplayMode);
    EXPECT_EQ(binDataOf(alarms), "05");
    EXPECT_EQ(binDataOf(wide), "000005");
    EXPECT_EQ(binDataOf(loose), "00000000");

    setFromBinData(wide, "800001");
    EXPECT_EQ(wide.getValueText(kDeviceHexMode), "800001");
    setFromBinData(alarms, "not hex");
    EXPECT_EQ(alarms.isOutOfRange(), 1);
    EXPECT_EQ(binDataOf(alarms), "05") << "refused input leaves the value";
}

class ParameterDocumentTest : public ::testing::Test {
protected:
    std::string build() {
        const InformationDocumentBuilder information(fixture_.sources());
        const std::string text = ParameterDocumentBuilder(information).build();
        EXPECT_EQ(validationFailure(text), "") << text;
        return text;
    }

    static xml::Node variable(const xml::Document& doc, const std::string& name) {
        return doc.selectSingleNode("//fdt:DtmVariable[@name='" + name + "']");
    }

    DocumentFixture fixture_;
};

TEST_F(ParameterDocumentTest, RootDeviceAndBus) {
    fixture_.at(kShortAddressId).setValueText("7", kDisplayMode);
    for (ParameterId id : fixture_.model->idList()) fixture_.model->find(id)->setChanged(false);
    const std::string text = build();
    EXPECT_EQ(text.rfind("<FDT", 0), 0u);
    const xml::Document doc = readBack(text);
    const xml::Node root = doc.documentElement();
    EXPECT_EQ(root.namespaceURI(), "x-schema:DTMParameterSchema.xml");
    EXPECT_EQ(attributeNames(root), "fdt:storageState fdt:dataSetState");
    EXPECT_EQ(root.getAttribute("fdt:storageState"), "persistent");
    EXPECT_EQ(root.getAttribute("fdt:dataSetState"), "validModified");

    std::string children;
    for (const xml::Node& child : root.childElements()) children += child.nodeName() + " ";
    EXPECT_EQ(children, "fdt:DtmDeviceType DtmDevice ")
        << "one device type per DeviceVersion, then the device";
    EXPECT_TRUE(doc.selectSingleNode("/par:FDT/fdt:DtmDeviceType/fdt:DeviceIcon"));

    EXPECT_EQ(doc.selectSingleNode("/par:FDT/par:DtmDevice/@fdt:tag").text(), "TT101");
    const xml::Node bus =
        doc.selectSingleNode("//par:DtmDevice/par:BusInformation/par:MasterSlaveBus");
    EXPECT_EQ(attributeNames(bus), "busAddress busMasterConfigurationPart");
    EXPECT_EQ(bus.getAttribute("busAddress"), "7");
    const xml::Node variables = doc.selectSingleNode("//par:ExportedVariables/fdt:DtmVariables");
    EXPECT_EQ(attributeNames(variables), "name descriptor");
    EXPECT_EQ(variables.getAttribute("name"), "Parameter");
    EXPECT_EQ(variables.getAttribute("descriptor"), "root of parameters");

    fixture_.at(200).setValueText("3", kDisplayMode);
    EXPECT_EQ(readBack(build()).documentElement().getAttribute("fdt:storageState"), "transient");
}

TEST_F(ParameterDocumentTest, OneVariablePerParameterInModelOrder) {
    const xml::Document doc = readBack(build());
    std::vector<std::string> names;
    for (const xml::Node& v : doc.selectNodes("//fdt:DtmVariable"))
        names.push_back(v.getAttribute("name").value());
    std::vector<std::string> expected;
    for (ParameterId id : fixture_.model->idList())
        expected.push_back(fixture_.model->find(id)->getLabel());
    EXPECT_EQ(names, expected);
}

TEST_F(ParameterDocumentTest, VariableValuesAndAccess) {
    const xml::Document doc = readBack(build());
    struct Case {
        const char* name;
        const char* access;  // writeAccess, readAccess
        const char* dataType;
        const char* valuePath;
        const char* value;
    };
    const Case cases[] = {
        {"pv", "11", "float", "fdt:NumberData/@number", "12.5000000000"},
        {"serial", "01", "unsigned", "fdt:NumberData/@number", "4711"},
        {"offset", "11", "int", "fdt:NumberData/@number", "-3"},
        {"message", "11", "ascii", "fdt:StringData/@string", "hello"},
        {"tag", "11", "packedAscii", "fdt:StringData/@string", "TT101"},
        {"cal_date", "11", "date", "fdt:TimeData/@time", "01/01/1900"},
        {"alarms", "11", "dtmSpecific", "fdt:BinaryVariable/@binData", "00"},
        {"wide_alarms", "11", "dtmSpecific", "fdt:BinaryVariable/@binData", "000000"},
        {"loose_bits", "11", "dtmSpecific", "fdt:BinaryVariable/@binData", "00000000"},
        {"blob", "11", "dtmSpecific", "fdt:BinaryVariable/@binData", "00000000"},
        {"manufacturer", "01", "byte", "fdt:NumberData/@number", "101"},
        {"device_flags", "00", "byte", "fdt:NumberData/@number", "9"},
    };
    for (const Case& c : cases) {
        const xml::Node v = variable(doc, c.name);
        ASSERT_TRUE(v) << c.name;
        EXPECT_EQ(attributeNames(v), "name descriptor");
        const xml::Node value = v.selectSingleNode("fdt:Value");
        EXPECT_EQ(attributeNames(value), "writeAccess readAccess");
        EXPECT_EQ(
            value.getAttribute("writeAccess").value() + value.getAttribute("readAccess").value(),
            c.access)
            << c.name;
        const xml::Node variant = value.selectSingleNode("fdt:Variant");
        EXPECT_EQ(variant.getAttribute("dataType"), c.dataType) << c.name;
        ASSERT_EQ(variant.childElements().size(), 1u) << c.name;
        EXPECT_EQ(variant.selectSingleNode(c.valuePath).text(), c.value) << c.name;
    }
    EXPECT_EQ(variable(doc, "pv").getAttribute("descriptor"), "primary value");
    EXPECT_EQ(variable(doc, "serial").getAttribute("descriptor"), "serial_HELP");
}

TEST_F(ParameterDocumentTest, TypesWithoutFdtFormGiveAnEmptyVariant) {
    const xml::Document doc = readBack(build());
    for (const char* name :
         {"samples", "unkown"}) {  // an array; the short address has no type name
        const xml::Node variant = variable(doc, name).selectSingleNode("fdt:Value/fdt:Variant");
        ASSERT_TRUE(variant) << name;
        EXPECT_FALSE(variant.hasAttribute("dataType")) << name;
        EXPECT_TRUE(variant.childElements().empty()) << name;
    }
}

TEST_F(ParameterDocumentTest, DtmSpecificNumbersFollowTheSize) {
    fixture_.at(203).setValueText("10100000", kDisplayMode);
    fixture_.at(204).setValueText("101", kDisplayMode);
    fixture_.at(212).setValueText("5", kDisplayMode);  // bit range inside "alarms"
    const xml::Document doc = readBack(build());
    const auto binData = [&](const char* name) {
        return variable(doc, name)
            .selectSingleNode("fdt:Value/fdt:Variant/fdt:BinaryVariable/@binData")
            .text();
    };
    EXPECT_EQ(binData("alarms"), "05");
    EXPECT_EQ(binData("wide_alarms"), "000005");
    EXPECT_EQ(binData("alarm_mode"), "00000005");
}

TEST_F(ParameterDocumentTest, ParametersCreatedAtRunTimeAreLeftOut) {
    fixture_.model->createUserParameter(1000001, "String");
    fixture_.model->createUserParameter(200, "Double");  // replaces "pv" in the map
    fixture_.model->rebuildIdList();
    const xml::Document doc = readBack(build());
    EXPECT_FALSE(variable(doc, "pv"));
    EXPECT_EQ(doc.selectNodes("//fdt:DtmVariable").size(), fixture_.model->idList().size() - 2);
}

TEST(ParameterDocumentRunTimeOnly, ModelOfRunTimeParametersGivesNoVariables) {
    DocumentFixture fixture("dtm_full.xml", /*loadModelNow=*/false);
    fixture.model->createUserParameter(1000001, "String");
    fixture.model->createUserParameter(1000002, "Double");
    fixture.model->rebuildIdList();
    const InformationDocumentBuilder information(fixture.sources());
    const std::string text = ParameterDocumentBuilder(information).build();
    EXPECT_EQ(validationFailure(text), "");
    const xml::Document doc = readBack(text);
    const xml::Node variables = doc.selectSingleNode("//fdt:DtmVariables");
    ASSERT_TRUE(variables);
    EXPECT_TRUE(variables.childElements().empty());
    EXPECT_EQ(doc.selectSingleNode("//par:MasterSlaveBus/@busAddress").text(), "Object missing");
}

TEST(ParameterDocumentFailure, BuildErrorsGiveEPointerWithoutBox) {
    DocumentFixture fixture;
    DescriptionSources sources = fixture.sources();
    // A schema set in which the parameter document's fdt:DtmDeviceType is not declared.
    const std::shared_ptr<xml::SchemaCache> cache =
        testing::schemasFrom(std::filesystem::path(HARTDTM_SOURCE_ROOT) / "devices" / "schemas");
    cache->remove("x-schema:FDTDataTypesSchema.xml");
    xml::Document strictTypes;
    ASSERT_TRUE(
        strictTypes.loadXML("<Schema xmlns=\"urn:schemas-microsoft-com:xml-data\"><ElementType "
                            "name=\"Other\"/></Schema>"));
    ASSERT_TRUE(cache->add("x-schema:FDTDataTypesSchema.xml", strictTypes).ok());
    sources.schemaCache = cache;
    const InformationDocumentBuilder information(sources);
    const DocumentAnswer answer = answerParameters(ParameterDocumentBuilder(information));
    EXPECT_EQ(answer.result, E_POINTER);
    EXPECT_FALSE(answer.text.has_value());
    EXPECT_EQ(answer.errorBox, "");
}

}  // namespace
}  // namespace engine
