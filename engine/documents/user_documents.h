#pragma once
// The frame's user documents: the user information that sets the DTM's user
// level, and the user message through which the DTM shows a message box.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace xml {
class SchemaCache;
}

namespace engine {

// User levels; 0 means "not configured yet".
enum UserLevel : std::int32_t {
    kUserLevelNone = 0,
    kUserLevelOther = 1,
    kUserLevelOperator = 2,
    kUserLevelMaintenance = 3,
    kUserLevelPlanningEngineer = 4,
};

// The level of a userLevel text: 4 "planningEngineer", 3 "maintenance",
// 2 "operator" (exact, case-sensitive), 1 anything else.
std::int32_t userLevelOf(std::string_view userLevelText);

struct UserInformation {
    bool loaded = false;                 // the document loaded and validated
    std::optional<std::int32_t> level;   // absent when the document has no userLevel
};

// Reads an FDTUserInformation document, validated against the cache when one is given.
UserInformation readUserInformation(std::string_view document, std::shared_ptr<const xml::SchemaCache> cache);

// The message box convention: icon field (bits 4 to 7) and button field (bits 0 to 3).
struct MessageBoxStyle {
    const char* messageType;
    const char* messageButtons;
    const char* messageDefault;
};
MessageBoxStyle messageBoxStyle(std::int32_t flags);

// Dialog result numbers: buttonOk 1, buttonAbort 3, buttonRetry 4, buttonIgnore 5,
// buttonYes 6, buttonNo 7; anything else 2 (cancel).
constexpr std::int32_t kDialogCancel = 2;
std::int32_t dialogResultOf(std::string_view resultMessage);

// The FDTUserMessage document for a message box (root element only, the form
// the frame's user dialog takes). Throws xml::Error when the DOM fails.
std::string buildUserMessage(std::string_view message, std::int32_t flags, std::string_view title,
                             std::shared_ptr<const xml::SchemaCache> cache);

// The button that the frame's answer document names; kDialogCancel when the
// answer does not load, does not validate or has no resultMessage.
std::int32_t readUserMessageAnswer(std::string_view answer, std::shared_ptr<const xml::SchemaCache> cache);

}  // namespace engine
