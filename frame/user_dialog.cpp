#include "frame/user_dialog.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "platform/xml/document.h"

namespace frame {
namespace {

constexpr std::string_view kSelection =
    "xmlns:msg='x-schema:FDTUserMessageSchema.xml' xmlns:fdt='x-schema:FDTDataTypesSchema.xml'";

struct ButtonSet {
    std::string_view buttons;
    std::array<std::string_view, 3> offered;
};

constexpr ButtonSet kButtonSets[] = {
    {"buttonsOk", {"buttonOk"}},
    {"buttonsOkCancel", {"buttonOk", "buttonCancel"}},
    {"buttonsAbortRetryIgnore", {"buttonAbort", "buttonRetry", "buttonIgnore"}},
    {"buttonsYesNoCancel", {"buttonYes", "buttonNo", "buttonCancel"}},
    {"buttonsYesNo", {"buttonYes", "buttonNo"}},
    {"buttonsRetryCancel", {"buttonRetry", "buttonCancel"}},
};

constexpr std::string_view kButtonNames[] = {"buttonOk",    "buttonCancel", "buttonAbort",
                                             "buttonRetry", "buttonIgnore", "buttonYes",
                                             "buttonNo"};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool loadMessage(xml::Document& document, std::string_view text, std::string& error) {
    document.setValidateOnParse(false);
    if (!document.loadXML(text)) {
        error = "not well-formed: " + document.parseError().reason;
        return false;
    }
    document.setProperty("SelectionNamespaces", kSelection);
    return true;
}

}  // namespace

std::string UserMessage::text() const {
    std::string joined;
    for (const std::string& line : lines) {
        if (!joined.empty()) joined += ' ';
        joined += line;
    }
    return joined;
}

UserMessageRead readUserMessage(std::string_view document) {
    UserMessageRead read;
    try {
        xml::Document dom;
        if (!loadMessage(dom, document, read.error)) return read;
        const xml::Node box = dom.selectSingleNode("//msg:FDTUserMessage");
        if (box.isNull()) {
            read.error = "no FDTUserMessage element";
            return read;
        }
        UserMessage message;
        message.type = box.getAttribute("messageType").value_or("messageInformation");
        message.buttons = box.getAttribute("messageButtons").value_or("buttonsOk");
        const std::vector<std::string> offered = offeredButtons(message.buttons);
        message.defaultButton = box.getAttribute("messageDefault").value_or(offered.front());
        message.title = box.getAttribute("title").value_or("");
        for (const xml::Node& line : box.selectNodes("msg:TextLine")) {
            message.lines.push_back(line.getAttribute("fdt:string").value_or(""));
        }
        read.message = std::move(message);
    } catch (const xml::Error& failure) {
        read.error = failure.what();
    }
    return read;
}

std::vector<std::string> offeredButtons(std::string_view buttons) {
    for (const ButtonSet& set : kButtonSets) {
        if (set.buttons != buttons) continue;
        std::vector<std::string> offered;
        for (std::string_view b : set.offered) {
            if (!b.empty()) offered.emplace_back(b);
        }
        return offered;
    }
    return {"buttonOk"};
}

std::optional<std::string> buttonName(std::string_view word) {
    for (std::string_view name : kButtonNames) {
        if (equalsIgnoringCase(word, name) || equalsIgnoringCase(word, name.substr(6)))
            return std::string(name);
    }
    return std::nullopt;
}

std::optional<std::string> answerDocument(std::string_view messageDocument,
                                          std::string_view button) {
    try {
        xml::Document dom;
        std::string error;
        if (!loadMessage(dom, messageDocument, error)) return std::nullopt;
        xml::Node box = dom.selectSingleNode("//msg:FDTUserMessage");
        if (box.isNull()) return std::nullopt;
        box.setAttribute("resultMessage", button);
        return dom.documentElement().xml();
    } catch (const xml::Error&) {
        return std::nullopt;
    }
}

void UserDialog::queueAnswers(const std::vector<std::string>& buttons) {
    pending_.insert(pending_.end(), buttons.begin(), buttons.end());
}

UserDialog::Decision UserDialog::decide(const UserMessage& message) {
    const std::vector<std::string> offered = offeredButtons(message.buttons);
    const auto isOffered = [&](const std::string& b) {
        return std::find(offered.begin(), offered.end(), b) != offered.end();
    };
    if (!pending_.empty()) {
        std::string scripted = std::move(pending_.front());
        pending_.pop_front();
        if (isOffered(scripted)) return {scripted, "scripted", {}};
        return {message.defaultButton, "default",
                scripted + " is not offered by " + message.buttons};
    }
    if (asker_) {
        if (std::optional<std::string> asked = asker_(message, offered); asked && isOffered(*asked))
            return {*asked, "asked", {}};
    }
    return {message.defaultButton, "default", {}};
}

}  // namespace frame
