#pragma once
// Shared by the frame session's sources: turning FDT answers into command results.

#include <string>

#include "frame/frame_session.h"
#include "frame/hresult_text_p.h"

namespace frame {

// An FDT boolean outcome: TRUE succeeds; FALSE and failing HRESULTs fail.
inline CommandResult booleanResult(std::string_view operation, HRESULT hr, VARIANT_BOOL result) {
    if (FAILED(hr))
        return CommandResult::failure(std::string(operation) + " failed (" + hresultText(hr) + ")");
    if (result == VARIANT_FALSE)
        return CommandResult::failure(std::string(operation) + " answered FALSE", "FALSE");
    return CommandResult::success("TRUE");
}

// An FDT text outcome: a text succeeds; null and failing HRESULTs fail.
inline CommandResult textResult(std::string_view operation, HRESULT hr, const com::Bstr& text) {
    if (FAILED(hr))
        return CommandResult::failure(std::string(operation) + " failed (" + hresultText(hr) + ")");
    if (text.isNull()) return CommandResult::failure(std::string(operation) + " answered no text");
    return CommandResult::success(text.utf8());
}

}  // namespace frame
