#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "document_fixture.h"
#include "engine/documents/activex_lookup.h"
#include "engine/documents/document_answers.h"
#include "platform/com/guid.h"
#include "platform/com/registry.h"

namespace engine {
namespace {

using testing::DocumentFixture;

std::string functionCall(const std::string& attribute) {
    return "<FDT xmlns=\"x-schema:DTMFunctionCallSchema.xml\" "
           "xmlns:func=\"x-schema:DTMFunctionsSchema.xml\">"
           "<FunctionCall " +
           attribute + "/></FDT>";
}

TEST(ActiveXLookup, FunctionIdOfTheCallDocument) {
    const std::pair<std::string, int32_t> cases[] = {
        {functionCall("func:functionId=\"1000\""), 1000},
        {functionCall("func:functionId=\"12abc\""), 12},
        {functionCall("func:functionId=\"x\""), 0},
        {functionCall("functionId=\"5\""), 0},  // unqualified: not the functions namespace
        {functionCall(""), 0},
        {"<FDT", 0},
        {"", 0},
    };
    for (const auto& [text, id] : cases) EXPECT_EQ(functionIdOf(text), id) << text;
}

TEST(ActiveXLookup, ViewProgIdOnlyForFunctionIdsOneToThousand) {
    DocumentFixture full;
    DocumentFixture minimal("dtm_minimal.xml");
    struct Case {
        const char* functionId;
        std::optional<std::string> fromFull;
        std::optional<std::string> fromMinimal;
    };
    const Case cases[] = {
        {"1", "Test.DocumentsView.3", "ZorDTMView.ZorBasicDTMView.7"},
        {"1000", "Test.DocumentsView.3", "ZorDTMView.ZorBasicDTMView.7"},
        {"1001", std::nullopt, std::nullopt},
        {"0", std::nullopt, std::nullopt},
        {"-5", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        const std::string call =
            functionCall(std::string("func:functionId=\"") + c.functionId + "\"");
        EXPECT_EQ(activeXProgId(full.dtm, call), c.fromFull) << c.functionId;
        EXPECT_EQ(activeXProgId(minimal.dtm, call), c.fromMinimal) << c.functionId;
    }
    EXPECT_EQ(activeXProgId(full.dtm, "not xml"), std::nullopt);
}

class ActiveXGuidTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::filesystem::path dir =
            std::filesystem::path(HARTDTM_BINARY_ROOT) / "test-registry";
        std::filesystem::create_directories(dir);
        file_ = dir / ("documents-activex-" + std::to_string(::getpid()));
        std::filesystem::remove(file_);
        if (const char* previous = std::getenv("HARTDTM_REGISTRY")) previous_ = previous;
        ::setenv("HARTDTM_REGISTRY", file_.c_str(), 1);

        com::ClassEntry view;
        view.clsid = com::makeGuid("1BE93C4E-4AFE-4488-9836-2C8551E97147");
        view.library = "/nowhere/ZorDTMView.so";
        view.threadingModel = "Apartment";
        view.progId = "ZorDTMView.ZorBasicDTMView.7";
        view.versionIndependentProgId = "ZorDTMView.ZorBasicDTMView";
        ASSERT_TRUE(com::processRegistry()->registerClasses({&view, 1}));
    }
    void TearDown() override {
        std::filesystem::remove(file_);
        if (previous_) {
            ::setenv("HARTDTM_REGISTRY", previous_->c_str(), 1);
        } else {
            ::unsetenv("HARTDTM_REGISTRY");
        }
    }

    std::filesystem::path file_;
    std::optional<std::string> previous_;
};

TEST_F(ActiveXGuidTest, RegisteredProgIdGivesTheClsidWithoutBraces) {
    DocumentFixture minimal("dtm_minimal.xml");
    const std::string call = functionCall("func:functionId=\"2\"");
    EXPECT_EQ(activeXGuid(minimal.dtm, call), "1BE93C4E-4AFE-4488-9836-2C8551E97147");

    const DocumentAnswer answer = answerActiveXGuid(minimal.dtm, call);
    EXPECT_EQ(answer.result, S_OK);
    EXPECT_EQ(answer.text, "1BE93C4E-4AFE-4488-9836-2C8551E97147");
}

TEST_F(ActiveXGuidTest, UnregisteredProgIdOrOtherFunctionGivesNull) {
    DocumentFixture full;  // names "Test.DocumentsView.3", which is not registered
    EXPECT_EQ(activeXGuid(full.dtm, functionCall("func:functionId=\"2\"")), std::nullopt);
    DocumentFixture minimal("dtm_minimal.xml");
    EXPECT_EQ(activeXGuid(minimal.dtm, functionCall("func:functionId=\"1001\"")), std::nullopt);

    const DocumentAnswer answer =
        answerActiveXGuid(full.dtm, functionCall("func:functionId=\"2\""));
    EXPECT_EQ(answer.result, S_OK);
    EXPECT_FALSE(answer.text.has_value());
}

}  // namespace
}  // namespace engine
