#include "engine/dtm/error_box.h"

#include <dlfcn.h>

#include <iostream>
#include <string>

namespace engine {

namespace {

using HostHook = int (*)(const char*, const char*, unsigned);

MessageBoxHook& moduleHook() {
    static MessageBoxHook hook;
    return hook;
}

HostHook hostHook() {
    return reinterpret_cast<HostHook>(dlsym(RTLD_DEFAULT, "HartDtmMessageBox"));
}

}  // namespace

void setMessageBoxHook(MessageBoxHook hook) { moduleHook() = std::move(hook); }

int showErrorBox(std::string_view text) {
    constexpr std::string_view caption = "Error";
    constexpr unsigned flags = kMessageBoxIconError | kMessageBoxTaskModal;
    if (const MessageBoxHook& hook = moduleHook()) return hook(text, caption, flags);
    if (HostHook host = hostHook()) return host(std::string(text).c_str(), std::string(caption).c_str(), flags);
    std::cerr << caption << ": " << text << '\n';
    return 1;
}

}  // namespace engine
