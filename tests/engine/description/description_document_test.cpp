#include "engine/description/description_document.h"

#include <gtest/gtest.h>

#include "engine/description/description_namespaces.h"
#include "engine/description/dtm_exception.h"

namespace engine {
namespace {

std::string fixture(const std::string& name) {
    return std::string(HARTDTM_TEST_DATA) + "/engine/" + name;
}

TEST(DescriptionDocument, ParserErrorMessage) {
    struct Case {
        long line;
        long column;
        std::string reason;
        std::string expected;
    };
    const std::string longReason(5000, 'r');
    const Case cases[] = {
        {4, 27, "Opening and ending tag mismatch",
         "Parser Error at line 4, at pos 27 \nReason: Opening and ending tag mismatch"},
        {0, 0, "", "Parser Error at line 0, at pos 0 \nReason: "},
        {1, 1, longReason, "Parser Error at line 1, at pos 1 \nReason: " + longReason},
    };
    for (const Case& c : cases) {
        xml::ParseError error;
        error.code = xml::ErrorCode::Syntax;
        error.line = c.line;
        error.column = c.column;
        error.reason = c.reason;
        EXPECT_EQ(parserErrorMessage(error), c.expected);
    }
}

TEST(DescriptionDocument, BrokenFileRaisesTheParserMessage) {
    xml::Document document;
    try {
        loadDescriptionFile(fixture("description/broken.xml"), document);
        FAIL() << "no exception";
    } catch (const CDTMException& error) {
        EXPECT_EQ(error.message(), parserErrorMessage(document.parseError()));
        EXPECT_EQ(error.message().rfind("Parser Error at line 4, at pos ", 0), 0u)
            << error.message();
        EXPECT_EQ(error.code(), static_cast<int32_t>(xml::ErrorCode::Syntax));
    }
    EXPECT_TRUE(document.empty());
}

TEST(DescriptionDocument, MissingFileIsAParserError) {
    xml::Document document;
    EXPECT_THROW(loadDescriptionFile(fixture("description/missing.xml"), document), CDTMException);
}

TEST(DescriptionDocument, LoadedDocumentsBindTheUserPrefix) {
    const xml::Document device =
        loadDescriptionDocument(fixture("model/device_model.xml"), kDeviceDescriptionNamespace);
    EXPECT_EQ(device.getProperty("SelectionNamespaces"),
              "xmlns:user='http://hartdtm.invalid/device_description'");
    EXPECT_TRUE(device.selectSingleNode("//user:device_interface[@bus_type='hart']"));
    const xml::Document dtm =
        loadDescriptionDocument(fixture("model/dtm_model.xml"), kDtmDescriptionNamespace);
    EXPECT_EQ(dtm.selectSingleNode("//user:DTMVersion/@name").text(), "TT101");
    // The device namespace does not match the DTM document.
    const xml::Document wrong =
        loadDescriptionDocument(fixture("model/dtm_model.xml"), kDeviceDescriptionNamespace);
    EXPECT_FALSE(wrong.selectSingleNode("//user:DTMVersion"));
}

}  // namespace
}  // namespace engine
