#pragma once
// The DTMs' questions and error boxes as modal Qt message boxes.

#include <QString>

#include "frame/user_dialog.h"

class QWidget;

namespace studio {

// Answers FDT user messages with a message box: the message's title, text
// and icon, its buttons with its default button; the button pressed is the
// answer (closing the box answers cancel where offered, else the default).
frame::UserDialog::Asker messageBoxAsker(QWidget* parent);

// A DTM's error box (caption, text, Windows-style flags) as a message box;
// answers 1 (OK).
int showErrorBox(const char* text, const char* caption, unsigned flags);

}  // namespace studio
