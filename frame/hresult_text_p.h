#pragma once
// HRESULTs in messages of the frame: "0x80004005".

#include <cstdio>
#include <string>

#include "platform/com/hresult.h"

namespace frame {

inline std::string hresultText(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
    return text;
}

}  // namespace frame
