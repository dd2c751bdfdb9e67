#pragma once
// The frame's answers to FDT user messages: the message document read, the
// button chosen (a scripted answer, the user's answer on a terminal, or the
// document's default button) and the answer document written.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace frame {

// An FDTUserMessage as the frame shows it.
struct UserMessage {
    std::string type;           // "messageQuestion", ...; "messageInformation" when absent
    std::string buttons;        // "buttonsYesNo", ...; "buttonsOk" when absent
    std::string defaultButton;  // "buttonYes", ...; the first offered button when absent
    std::string title;
    std::vector<std::string> lines;  // the TextLine texts in order

    // The lines joined by one blank.
    std::string text() const;
};

struct UserMessageRead {
    std::optional<UserMessage> message;
    std::string error;  // why the document is not a user message
};

// Reads the first FDTUserMessage of the user-message namespace.
UserMessageRead readUserMessage(std::string_view document);

// The buttons a box of that buttons text shows, in their usual order
// ("buttonsRetryCancel": buttonRetry, buttonCancel). Unknown texts show OK.
std::vector<std::string> offeredButtons(std::string_view buttons);

// The result name of an answer word: "buttonRetry", "Retry" and "retry" all
// give "buttonRetry". Nullopt for a word that names no button.
std::optional<std::string> buttonName(std::string_view word);

// The message document with its FDTUserMessage carrying resultMessage =
// button; nullopt when the document cannot be read.
std::optional<std::string> answerDocument(std::string_view messageDocument,
                                          std::string_view button);

class UserDialog {
public:
    // Asks the user and answers the chosen button name, or nullopt when no
    // answer could be had (the default is taken then).
    using Asker = std::function<std::optional<std::string>(
        const UserMessage& message, const std::vector<std::string>& offered)>;

    struct Decision {
        std::string button;  // a button name such as "buttonRetry"
        std::string how;     // "scripted", "asked" or "default"
        std::string note;    // why a scripted answer was passed over; empty otherwise
    };

    // Appends answers (button names, see buttonName) for the next messages.
    void queueAnswers(const std::vector<std::string>& buttons);
    const std::deque<std::string>& pendingAnswers() const { return pending_; }
    void clearAnswers() { pending_.clear(); }

    // Interactive answering, used when no scripted answer is waiting.
    void setAsker(Asker asker) { asker_ = std::move(asker); }

    // The button for a message: the next scripted answer when one waits (it is
    // used up; one the message does not offer gives the default and a note),
    // else the asker's answer, else the default button.
    Decision decide(const UserMessage& message);

private:
    std::deque<std::string> pending_;
    Asker asker_;
};

}  // namespace frame
