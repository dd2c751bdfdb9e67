// The frame's user dialog: what it reads of a message, which button it
// chooses, and the answer document a DTM reads back.

#include "frame/user_dialog.h"

#include <gtest/gtest.h>

#include "frame/frame_host.h"
#include "platform/com/object.h"
#include "tests/frame/frame_test_support.h"

namespace {

std::string message(const std::string& type, const std::string& buttons,
                    const std::string& defaultButton,
                    const std::string& text = "Start the autotune now?") {
    std::string doc =
        "<FDT xmlns=\"x-schema:FDTUserMessageSchema.xml\" "
        "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">"
        "<FDTUserMessage";
    if (!type.empty()) doc += " messageType=\"" + type + "\"";
    if (!buttons.empty()) doc += " messageButtons=\"" + buttons + "\"";
    if (!defaultButton.empty()) doc += " messageDefault=\"" + defaultButton + "\"";
    doc += " title=\"Ravik\"><TextLine fdt:string=\"" + text + "\"/></FDTUserMessage></FDT>";
    return doc;
}

TEST(FrameUserDialog, ButtonWordsAndOfferedButtons) {
    const struct {
        const char* word;
        const char* name;  // null: no button
    } words[] = {
        {"retry", "buttonRetry"},   {"Retry", "buttonRetry"}, {"buttonRetry", "buttonRetry"},
        {"OK", "buttonOk"},         {"no", "buttonNo"},       {"yes", "buttonYes"},
        {"ignore", "buttonIgnore"}, {"maybe", nullptr},       {"button", nullptr}};
    for (const auto& w : words) {
        const std::optional<std::string> name = frame::buttonName(w.word);
        if (w.name) {
            EXPECT_EQ(name, w.name) << w.word;
        } else {
            EXPECT_FALSE(name) << w.word;
        }
    }
    EXPECT_EQ(frame::offeredButtons("buttonsRetryCancel"),
              (std::vector<std::string>{"buttonRetry", "buttonCancel"}));
    EXPECT_EQ(frame::offeredButtons("buttonsAbortRetryIgnore").size(), 3u);
    EXPECT_EQ(frame::offeredButtons("nonsense"), std::vector<std::string>{"buttonOk"});
}

TEST(FrameUserDialog, ReadsMessagesWithDefaultsForMissingAttributes) {
    const frame::UserMessageRead full =
        frame::readUserMessage(message("messageQuestion", "buttonsYesNo", "buttonNo"));
    ASSERT_TRUE(full.message) << full.error;
    EXPECT_EQ(full.message->type, "messageQuestion");
    EXPECT_EQ(full.message->defaultButton, "buttonNo");
    EXPECT_EQ(full.message->text(), "Start the autotune now?");

    const frame::UserMessageRead bare =
        frame::readUserMessage(message("", "buttonsRetryCancel", ""));
    ASSERT_TRUE(bare.message);
    EXPECT_EQ(bare.message->type, "messageInformation");
    EXPECT_EQ(bare.message->defaultButton, "buttonRetry");

    EXPECT_FALSE(frame::readUserMessage("<FDT/>").message);
    EXPECT_FALSE(frame::readUserMessage("not xml").message);
}

TEST(FrameUserDialog, ScriptedAnswersComeFirstAndAreUsedUp) {
    frame::UserDialog dialog;
    int asked = 0;
    dialog.setAsker([&](const frame::UserMessage&, const std::vector<std::string>&) {
        ++asked;
        return std::optional<std::string>("buttonCancel");
    });
    dialog.queueAnswers({"buttonRetry", "buttonYes", "buttonCancel"});
    const frame::UserMessage box =
        *frame::readUserMessage(message("", "buttonsRetryCancel", "")).message;

    const struct {
        const char* button;
        const char* how;
        bool noted;
    } expected[] = {
        {"buttonRetry", "scripted", false},
        {"buttonRetry", "default", true},  // yes is not offered: the default, with a note
        {"buttonCancel", "scripted", false},
        {"buttonCancel", "asked", false},  // nothing scripted is left: the user is asked
    };
    for (const auto& e : expected) {
        const frame::UserDialog::Decision decision = dialog.decide(box);
        EXPECT_EQ(decision.button, e.button);
        EXPECT_EQ(decision.how, e.how);
        EXPECT_EQ(!decision.note.empty(), e.noted) << decision.note;
    }
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(dialog.pendingAnswers().empty());
}

TEST(FrameUserDialog, AnswerDocumentPassesTheSchemaAndCarriesTheResult) {
    const std::string answer =
        *frame::answerDocument(message("messageQuestion", "buttonsYesNo", "buttonYes"), "buttonNo");
    EXPECT_TRUE(frametest::validate(answer).ok()) << answer;
    xml::Document document;
    ASSERT_TRUE(document.loadXML(answer));
    document.setProperty("SelectionNamespaces", "xmlns:user='x-schema:FDTUserMessageSchema.xml'");
    EXPECT_EQ(document.selectSingleNode("//user:FDTUserMessage/@resultMessage").text(), "buttonNo");
    EXPECT_EQ(document.selectSingleNode("//user:FDTUserMessage/@messageButtons").text(),
              "buttonsYesNo");
}

TEST(FrameUserDialog, HostRecordsTheMessageAndItsAnswer) {
    com::ComPtr<IFdtDialog> dialog;
    ASSERT_EQ(com::ComInstance<frame::FrameHost>::create(nullptr, IFdtDialog::iid, dialog.putVoid(),
                                                         std::filesystem::path("/schemas")),
              S_OK);
    auto* host = static_cast<frame::FrameHost*>(dialog.get());
    host->dialog().queueAnswers({"buttonCancel"});
    com::Bstr answer;
    const com::Bstr text = com::Bstr::fromUtf8(
        message("messageStop", "buttonsRetryCancel", "buttonRetry", "Line1&#10;x"));
    ASSERT_EQ(dialog->UserDialog(com::Bstr::fromUtf8("PV-101").get(), text.get(), answer.out()),
              S_OK);
    EXPECT_NE(answer.utf8().find("resultMessage=\"buttonCancel\""), std::string::npos)
        << answer.utf8();
    const auto& events = host->events().events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(frame::formatEvent(events[0]),
              "event message messageStop buttonsRetryCancel Line1\\nx");
    EXPECT_EQ(events[0].systemTag, "PV-101");
    EXPECT_EQ(frame::formatEvent(events[1]), "event message-answer buttonCancel scripted");

    ASSERT_EQ(dialog->UserDialog(nullptr, com::Bstr::fromUtf8("<broken").get(), answer.out()),
              S_OK);
    EXPECT_TRUE(answer.isNull());
    EXPECT_EQ(host->events().events().back().kind, "message-unreadable");
    EXPECT_EQ(dialog->UserDialog(nullptr, text.get(), nullptr), E_POINTER);
}

}  // namespace
