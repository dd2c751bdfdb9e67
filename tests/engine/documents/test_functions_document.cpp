#include <gtest/gtest.h>

#include <vector>

#include "document_fixture.h"
#include "engine/description/dtm_exception.h"
#include "engine/documents/document_answers.h"
#include "engine/documents/functions_document.h"

namespace engine {
namespace {

using testing::attributeNames;
using testing::DocumentFixture;
using testing::readBack;
using testing::validationFailure;

constexpr const char* kOperationPhase =
    "<FDT xmlns=\"x-schema:FDTOperationPhaseSchema.xml\"><OperationPhase "
    "operationPhase=\"engineering\"/></FDT>";

class FunctionsDocumentTest : public ::testing::Test {
protected:
    std::string build(const std::string& state = "OFFLINE",
                      std::vector<OpenApplication> open = {}) {
        open_ = std::move(open);
        const FunctionsDocumentBuilder builder(fixture_.sources(), fixture_.translator);
        const std::string text = builder.build(kOperationPhase, FunctionsQuery{state, open_});
        EXPECT_EQ(validationFailure(text), "") << text;
        return text;
    }

    // The Status of the function entry with that id.
    static xml::Node statusOf(const xml::Document& doc, const std::string& functionId) {
        return doc.selectSingleNode("//*[@functionId='" + functionId + "']/fn:Status");
    }

    DocumentFixture fixture_;
    std::vector<OpenApplication> open_;
};

TEST_F(FunctionsDocumentTest, RootAndMenuContainer) {
    const std::string text = build();
    EXPECT_EQ(text.rfind("<FDT", 0), 0u) << text;
    const xml::Document doc = readBack(text);
    EXPECT_EQ(doc.documentElement().getAttribute("xmlns:appId"),
              "x-schema:FDTApplicationIdSchema.xml");
    const xml::Node top = doc.selectSingleNode("/fn:FDT/fn:Functions");
    ASSERT_TRUE(top);
    EXPECT_EQ(attributeNames(top), "label fdt:name help");
    EXPECT_EQ(top.getAttribute("label"), "");

    // Both menus, in document order: the first as a container, the second a separator.
    const xml::NodeList entries = top.childElements();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].nodeName(), "Functions");
    EXPECT_EQ(entries[0].getAttribute("label"), "Device") << "container labels are translated";
    EXPECT_EQ(entries[0].getAttribute("fdt:name"), "root");
    EXPECT_EQ(entries[0].getAttribute("help"), "root help");
    EXPECT_EQ(entries[1].selectSingleNode("fn:Status/@separator").text(), "1");
}

TEST_F(FunctionsDocumentTest, EntriesOfTheMenuInOrder) {
    const xml::Document doc = readBack(build());
    std::vector<std::string> shape;
    for (const xml::Node& entry :
         doc.selectSingleNode("/fn:FDT/fn:Functions/fn:Functions").childElements()) {
        shape.push_back(entry.nodeName() + ":" + entry.getAttribute("functionId").value_or("-"));
    }
    const std::vector<std::string> expected = {
        "Function:1",          "Function:",           "Function:5",         "StandardFunction:7",
        "Document:manual.pdf", "StandardFunctions:-", "Document:notes.txt",
    };
    EXPECT_EQ(shape, expected) << "a node without function, document or children yields nothing";
}

TEST_F(FunctionsDocumentTest, FunctionWithGuiIconAndApplicationId) {
    const xml::Document doc = readBack(build());
    const xml::Node function = doc.selectSingleNode("//fn:Function[@functionId='1']");
    ASSERT_TRUE(function);
    EXPECT_EQ(attributeNames(function),
              "label fdt:name help hasGUI printable resizable functionId");
    EXPECT_EQ(function.getAttribute("label"), "Open view");
    EXPECT_EQ(function.getAttribute("fdt:name"), "view");
    EXPECT_EQ(function.getAttribute("help"), "opens the view");
    EXPECT_EQ(function.getAttribute("hasGUI"), "1");
    EXPECT_EQ(function.getAttribute("printable"), "0");
    EXPECT_EQ(function.getAttribute("resizable"), "1");
    std::string children;
    for (const xml::Node& child : function.childElements()) children += child.nodeName() + " ";
    EXPECT_EQ(children, "Icon Status appId:FDTApplicationIds ");
    EXPECT_EQ(function.selectSingleNode("fn:Icon/@path").text(), "view.ico");
    EXPECT_EQ(
        function.selectSingleNode("appId:FDTApplicationIds/appId:ApplicationId/@applicationId")
            .text(),
        "fdtConfiguration");
    EXPECT_EQ(attributeNames(statusOf(doc, "1")), "toggle checked hidden separator enabled");
}

TEST_F(FunctionsDocumentTest, UntranslatedLabelAndNoGuiFlag) {
    const xml::Document doc = readBack(build());
    const xml::Node function = doc.selectSingleNode("//fn:Function[@functionId='5']");
    ASSERT_TRUE(function);
    EXPECT_EQ(function.getAttribute("label"), "menu_online") << "an unknown key stays as it is";
    EXPECT_FALSE(function.hasAttribute("hasGUI")) << "hasGUI=\"false\" writes no attribute";
    EXPECT_EQ(function.getAttribute("help"), "") << "absent helptext";
    EXPECT_TRUE(function.selectNodes("fn:Icon").empty());
    EXPECT_TRUE(function.selectNodes("appId:FDTApplicationIds").empty());
}

TEST_F(FunctionsDocumentTest, SeparatorWinsOverItsFunction) {
    const xml::Document doc = readBack(build());
    EXPECT_TRUE(doc.selectNodes("//*[@functionId='99']").empty());
    const xml::Node separator =
        doc.selectSingleNode("/fn:FDT/fn:Functions/fn:Functions/fn:Function[2]");
    ASSERT_TRUE(separator);
    EXPECT_EQ(attributeNames(separator), "label fdt:name help functionId");
    for (const char* name : {"label", "fdt:name", "help", "functionId"}) {
        EXPECT_EQ(separator.getAttribute(name), "") << name;
    }
    const xml::Node status = separator.selectSingleNode("fn:Status");
    EXPECT_EQ(attributeNames(status), "toggle checked enabled hidden separator");
    EXPECT_EQ(status.getAttribute("enabled"), "1");
    EXPECT_EQ(status.getAttribute("separator"), "1");
}

TEST_F(FunctionsDocumentTest, StatusFollowsOnlineStateAndOpenApplications) {
    struct Case {
        const char* state;
        std::vector<OpenApplication> open;
        const char* enabled5;  // req_online="true"
        const char* enabled1;  // no req_online
    };
    const Case cases[] = {
        {"OFFLINE", {}, "0", "1"},
        {"ONLINE", {}, "1", "1"},
        {"IDENTIFICATED", {}, "0", "1"},
        {"ONLINE", {{"invoke-a", 5}}, "0", "1"},
        {"OFFLINE", {{"invoke-a", 1}, {"invoke-b", 42}}, "0", "0"},
        {"ONLINE", {{"invoke-a", 50}}, "1", "1"},
    };
    for (const Case& c : cases) {
        const xml::Document doc = readBack(build(c.state, c.open));
        EXPECT_EQ(statusOf(doc, "5").getAttribute("enabled"), c.enabled5)
            << c.state << " " << c.open.size();
        EXPECT_EQ(statusOf(doc, "1").getAttribute("enabled"), c.enabled1)
            << c.state << " " << c.open.size();
    }
}

TEST_F(FunctionsDocumentTest, StandardFunctionCarriesItsApplicationId) {
    const xml::Document doc = readBack(build("OFFLINE", {{"x", 7}}));
    const xml::Node standard = doc.selectSingleNode("//fn:StandardFunction");
    ASSERT_TRUE(standard);
    EXPECT_EQ(attributeNames(standard), "fdt:name help printableStandardFunction functionId");
    EXPECT_EQ(standard.getAttribute("fdt:name"), "standard");
    EXPECT_EQ(standard.getAttribute("printableStandardFunction"), "0");
    std::string children;
    for (const xml::Node& child : standard.childElements()) children += child.nodeName() + " ";
    EXPECT_EQ(children, "Icon Status appId:ApplicationId ");
    EXPECT_EQ(standard.selectSingleNode("appId:ApplicationId/@applicationId").text(),
              "fdtOnlineParameterize");
    EXPECT_EQ(statusOf(doc, "7").getAttribute("enabled"), "0")
        << "open applications disable standard functions too";
}

TEST_F(FunctionsDocumentTest, DocumentWinsOverChildren) {
    const xml::Document doc = readBack(build());
    EXPECT_TRUE(doc.selectNodes("//*[@functionId='8']").empty());
    const xml::Node document = doc.selectSingleNode("//fn:Document[@functionId='manual.pdf']");
    ASSERT_TRUE(document);
    EXPECT_EQ(attributeNames(document), "label help functionId");
    EXPECT_EQ(document.getAttribute("label"), "Manual");
    EXPECT_EQ(document.getAttribute("help"), "the manual");
    EXPECT_EQ(document.selectSingleNode("fn:MimeType/@mime-type").text(), "application/pdf");
    EXPECT_EQ(document.selectSingleNode("fn:OpenWith/@programName").text(), "reader");
    EXPECT_EQ(document.selectSingleNode("fn:Icon/@path").text(), "pdf.ico");

    const xml::Node bare = doc.selectSingleNode("//fn:Document[@functionId='notes.txt']");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare.getAttribute("label"), "");
    EXPECT_EQ(bare.selectSingleNode("fn:MimeType/@mime-type").text(), "");
    EXPECT_TRUE(bare.selectSingleNode("fn:OpenWith")) << "OpenWith is always written";
    EXPECT_TRUE(bare.selectNodes("fn:Icon").empty());
}

TEST_F(FunctionsDocumentTest, SubmenuWithApplicationIdIsAStandardContainer) {
    const xml::Document doc = readBack(build());
    const xml::Node container = doc.selectSingleNode("//fn:StandardFunctions");
    ASSERT_TRUE(container);
    EXPECT_EQ(attributeNames(container), "fdt:name help");
    EXPECT_EQ(container.getAttribute("fdt:name"), "sub");
    const xml::NodeList children = container.childElements();
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(children[0].getAttribute("functionId"), "9");
    EXPECT_EQ(children[0].getAttribute("label"), "leaf");
}

TEST_F(FunctionsDocumentTest, DescriptionWithoutMenusGivesAnEmptyContainer) {
    DocumentFixture minimal("dtm_minimal.xml");
    const FunctionsDocumentBuilder builder(minimal.sources(), minimal.translator);
    const std::string text = builder.build(kOperationPhase, {});
    EXPECT_EQ(validationFailure(text), "");
    EXPECT_TRUE(readBack(text).selectSingleNode("/fn:FDT/fn:Functions").childElements().empty());
}

TEST_F(FunctionsDocumentTest, InputThatDoesNotLoadOrValidateGivesANullText) {
    const FunctionsDocumentBuilder builder(fixture_.sources(), fixture_.translator);
    const char* inputs[] = {
        "",
        "<FDT",
        "<FDT xmlns=\"x-schema:FDTOperationPhaseSchema.xml\"><OperationPhase "
        "operationPhase=\"lunch\"/></FDT>",
    };
    for (const char* input : inputs) {
        EXPECT_THROW(builder.build(input, {}), CDTMException) << input;
        const DocumentAnswer answer = answerFunctions(builder, input, {});
        EXPECT_EQ(answer.result, S_OK) << input;
        EXPECT_FALSE(answer.text.has_value()) << input;
        EXPECT_EQ(answer.errorBox, "");
    }
    const DocumentAnswer good = answerFunctions(builder, kOperationPhase, {});
    ASSERT_TRUE(good.text.has_value());
    EXPECT_EQ(good.text->rfind("<FDT", 0), 0u);
}

}  // namespace
}  // namespace engine
