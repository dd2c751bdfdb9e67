#pragma once
// Which ActiveX control the frame creates for a function: the ProgID that the
// DTM description names for its view, and that ProgID's CLSID.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/xml/document.h"

namespace engine {

// The view control used when the description names none.
inline constexpr std::string_view kDefaultViewProgId = "ZorDTMView.ZorBasicDTMView.7";

// Function ids that open the view control.
inline constexpr int32_t kFirstViewFunctionId = 1;
inline constexpr int32_t kLastViewFunctionId = 1000;

// The number in the function-call document's "//@func:functionId" (func bound
// to "x-schema:DTMFunctionsSchema.xml"), read as a decimal number from its
// leading digits; 0 when the text does not load or has no such attribute.
int32_t functionIdOf(std::string_view functionCall);

// For function ids 1 to 1000: "//user:DeviceView/@activex_prog_id" of the DTM
// description when present, else kDefaultViewProgId. nullopt (a null text)
// for any other id and for any failure; never throws.
std::optional<std::string> activeXProgId(const xml::Document& dtmDocument,
                                         std::string_view functionCall);

// The CLSID of activeXProgId's answer, looked up in the registry, in registry
// form without braces. nullopt when the ProgID is null or not registered, and
// for any failure; never throws.
std::optional<std::string> activeXGuid(const xml::Document& dtmDocument,
                                       std::string_view functionCall);

}  // namespace engine
