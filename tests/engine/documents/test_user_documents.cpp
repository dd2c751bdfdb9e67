#include <gtest/gtest.h>

#include <filesystem>

#include "engine/documents/user_documents.h"
#include "platform/xml/document.h"
#include "platform/xml/schema_cache.h"

namespace {

std::shared_ptr<const xml::SchemaCache> frameSchemas() {
    auto cache = std::make_shared<xml::SchemaCache>();
    const std::filesystem::path dir = std::filesystem::path(HARTDTM_SOURCE_ROOT) / "devices" / "schemas";
    for (const auto& file : std::filesystem::directory_iterator(dir)) {
        if (file.path().extension() != ".xml") continue;
        xml::Document schema;
        schema.setValidateOnParse(false);
        if (schema.load(file.path().string()) && schema.documentElement().nodeName() == "Schema") {
            cache->add("x-schema:" + file.path().filename().string(), schema);
        }
    }
    return cache;
}

std::string userInformation(const std::string& level) {
    return "<?xml version=\"1.0\"?><FDT xmlns=\"x-schema:FDTUserInformationSchema.xml\" "
           "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\"><FDTUserInformation userLevel=\"" +
           level + "\"/></FDT>";
}

std::string answer(const char* attributes) {
    return std::string("<FDT xmlns=\"x-schema:FDTUserMessageSchema.xml\" xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">"
                       "<FDTUserMessage messageType=\"messageQuestion\" messageButtons=\"buttonsYesNo\" "
                       "messageDefault=\"buttonYes\" title=\"t\" ") +
           attributes + "><TextLine fdt:string=\"x\"/></FDTUserMessage></FDT>";
}

TEST(UserInformation, LevelsFromTheDocument) {
    const auto cache = frameSchemas();
    const std::pair<const char*, std::int32_t> cases[] = {
        {"planningEngineer", 4}, {"maintenance", 3}, {"operator", 2}, {"administrator", 1}, {"observer", 1},
    };
    for (const auto& [text, level] : cases) {
        const auto info = engine::readUserInformation(userInformation(text), cache);
        EXPECT_TRUE(info.loaded) << text;
        EXPECT_EQ(info.level, level) << text;
    }
    EXPECT_EQ(engine::userLevelOf("Operator"), 1) << "the comparison is case-sensitive";
}

TEST(UserInformation, BrokenDocumentIsNotLoaded) {
    const auto cache = frameSchemas();
    EXPECT_FALSE(engine::readUserInformation("<FDT", cache).loaded);
    EXPECT_FALSE(engine::readUserInformation("", cache).loaded);
}

TEST(UserMessage, FlagsSelectTypeButtonsAndDefault) {
    struct Case {
        std::int32_t flags;
        const char* type;
        const char* buttons;
        const char* defaultButton;
    };
    const Case cases[] = {
        {0x24, "messageQuestion", "buttonsYesNo", "buttonYes"},
        {0x40, "messageInformation", "buttonsOk", "buttonOk"},
        {0x10, "messageStop", "buttonsOk", "buttonOk"},
        {0x31, "messageExclamation", "buttonsOkCancel", "buttonOk"},
        {0x02, "messageInformation", "buttonsAbortRetryIgnore", "buttonAbort"},
        {0x03, "messageInformation", "buttonsYesNoCancel", "buttonYes"},
        {0x05, "messageInformation", "buttonsRetryCancel", "buttonRetry"},
        {0x06, "messageInformation", "buttonsOk", "buttonOk"},
    };
    for (const Case& c : cases) {
        const auto style = engine::messageBoxStyle(c.flags);
        EXPECT_STREQ(style.messageType, c.type) << c.flags;
        EXPECT_STREQ(style.messageButtons, c.buttons) << c.flags;
        EXPECT_STREQ(style.messageDefault, c.defaultButton) << c.flags;
    }
}

TEST(UserMessage, DocumentHasTheFrameShapeAndValidates) {
    const auto cache = frameSchemas();
    const std::string text = engine::buildUserMessage("Start <find stops> & wait?", 0x24, "Positioner", cache);
    EXPECT_EQ(text.rfind("<FDT xmlns=\"x-schema:FDTUserMessageSchema.xml\" xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">", 0), 0u)
        << text;
    EXPECT_NE(text.find("<FDTUserMessage messageType=\"messageQuestion\" messageButtons=\"buttonsYesNo\" "
                        "messageDefault=\"buttonYes\" title=\"Positioner\">"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("<?xml"), std::string::npos) << "the root element alone is sent";
    xml::Document parsed;
    parsed.setSchemaCache(cache);
    parsed.setValidateOnParse(true);
    ASSERT_TRUE(parsed.loadXML(text)) << parsed.parseError().reason;
    parsed.setProperty("SelectionNamespaces",
                       "xmlns:m='x-schema:FDTUserMessageSchema.xml' xmlns:fdt='x-schema:FDTDataTypesSchema.xml'");
    EXPECT_EQ(parsed.selectSingleNode("//m:TextLine/@fdt:string").text(), "Start <find stops> & wait?");
}

TEST(UserMessage, AnswersMapToDialogResults) {
    const auto cache = frameSchemas();
    EXPECT_EQ(engine::readUserMessageAnswer(answer("resultMessage=\"buttonNo\""), cache), 7);
    EXPECT_EQ(engine::readUserMessageAnswer(answer("resultMessage=\"buttonYes\""), cache), 6);
    EXPECT_EQ(engine::readUserMessageAnswer(answer(""), cache), 2) << "no resultMessage is cancel";
    EXPECT_EQ(engine::readUserMessageAnswer("not xml", cache), 2);
    const std::pair<const char*, std::int32_t> results[] = {
        {"buttonOk", 1}, {"buttonAbort", 3}, {"buttonRetry", 4}, {"buttonIgnore", 5},
        {"buttonYes", 6}, {"buttonNo", 7}, {"buttonCancel", 2}, {"", 2},
    };
    for (const auto& [text, result] : results) EXPECT_EQ(engine::dialogResultOf(text), result) << text;
}

}  // namespace
