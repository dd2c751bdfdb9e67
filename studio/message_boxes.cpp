#include "studio/message_boxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <map>

namespace studio {
namespace {

const std::map<std::string, QMessageBox::StandardButton>& buttonTable() {
    static const std::map<std::string, QMessageBox::StandardButton> table = {
        {"buttonOk", QMessageBox::Ok},         {"buttonCancel", QMessageBox::Cancel},
        {"buttonAbort", QMessageBox::Abort},   {"buttonRetry", QMessageBox::Retry},
        {"buttonIgnore", QMessageBox::Ignore}, {"buttonYes", QMessageBox::Yes},
        {"buttonNo", QMessageBox::No},
    };
    return table;
}

QMessageBox::Icon iconOf(const std::string& type) {
    if (type == "messageExclamation") return QMessageBox::Warning;
    if (type == "messageQuestion") return QMessageBox::Question;
    if (type == "messageStop") return QMessageBox::Critical;
    return QMessageBox::Information;
}

}  // namespace

frame::UserDialog::Asker messageBoxAsker(QWidget* parent) {
    QPointer<QWidget> owner(parent);
    return [owner](const frame::UserMessage& message,
                   const std::vector<std::string>& offered) -> std::optional<std::string> {
        QMessageBox box(iconOf(message.type), QString::fromStdString(message.title),
                        QString::fromStdString(message.text()), QMessageBox::NoButton,
                        owner.data());
        box.setObjectName(QStringLiteral("dtmUserMessage"));
        for (const std::string& name : offered) {
            const auto button = buttonTable().find(name);
            if (button == buttonTable().end()) continue;
            box.addButton(button->second);
            if (name == message.defaultButton) box.setDefaultButton(button->second);
        }
        box.exec();
        const auto clicked = box.standardButton(box.clickedButton());
        for (const auto& [name, button] : buttonTable()) {
            if (button == clicked) return name;
        }
        return std::nullopt;  // closed without a button: the frame takes the default
    };
}

int showErrorBox(const char* text, const char* caption, unsigned flags) {
    const QMessageBox::Icon icon = (flags & 0xF0) == 0x30   ? QMessageBox::Warning
                                   : (flags & 0xF0) == 0x40 ? QMessageBox::Information
                                                            : QMessageBox::Critical;
    QMessageBox box(icon, QString::fromUtf8(caption ? caption : "Error"),
                    QString::fromUtf8(text ? text : ""), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("dtmErrorBox"));
    box.exec();
    return 1;
}

}  // namespace studio
