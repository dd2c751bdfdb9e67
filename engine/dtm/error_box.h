#pragma once
// Task-modal error boxes of the engine (caption "Error", error icon).
//
// The host decides how a box is shown: a host program that defines and exports
//   extern "C" int HartDtmMessageBox(const char* text, const char* caption, unsigned flags);
// (UTF-8 texts, message box flags; answers the dialog result) receives every box.
// Code inside one module may also set a hook of its own (tests do). Without
// either, the box is written to standard error and answered with OK.

#include <functional>
#include <string_view>

namespace engine {

constexpr unsigned kMessageBoxIconError = 0x10;
constexpr unsigned kMessageBoxTaskModal = 0x2000;

using MessageBoxHook = std::function<int(std::string_view text, std::string_view caption, unsigned flags)>;

// Replaces this module's hook; an empty hook restores the default.
void setMessageBoxHook(MessageBoxHook hook);

// Shows text with the caption "Error" as a task-modal error box.
int showErrorBox(std::string_view text);

}  // namespace engine
