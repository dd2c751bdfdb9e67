#pragma once
// The outcome of a runtime operation: an HRESULT and, on failure, a reason
// meant for people (log lines, the frame's error output).

#include <string>
#include <utility>

#include "platform/com/hresult.h"

namespace com {

struct Status {
    HRESULT code = S_OK;
    std::string reason;  // empty on success

    static Status ok() { return {}; }
    static Status failure(HRESULT code, std::string reason) { return {code, std::move(reason)}; }
    explicit operator bool() const { return SUCCEEDED(code); }
};

// The storage result for an errno value: STG_E_FILENOTFOUND, STG_E_ACCESSDENIED,
// STG_E_MEDIUMFULL or E_OUTOFMEMORY where one fits, else `fallback`.
HRESULT hresultFromErrno(int error, HRESULT fallback);

// "what: strerror(error)".
std::string errnoReason(const std::string& what, int error);

}  // namespace com
