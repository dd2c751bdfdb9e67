#pragma once

#include <cstdint>
#include <string>

#include "engine/description/reference_id.h"

namespace engine::communication {

// Message-box flags and results that the channel uses.
inline constexpr int32_t kMessageBoxRetryCancel = 0x5;
inline constexpr int32_t kMessageBoxIconStop = 0x10;

// What the channel needs of the DTM object that embeds it. Implemented by the
// DTM object; called on the apartment thread, possibly from inside the
// frame's calls into the channel.
class DtmServices {
public:
    // DTM_MsgBox: shows text with message-box flags (icon and buttons) and
    // answers the chosen button's result (2, cancel, when nothing was shown).
    virtual int32_t messageBox(const std::string& text, int32_t flags) = 0;
    // SetValue of the private interface with a display text: the device tag
    // for its parameter, the DTM's dirty flag when the value changed. Unknown
    // ids do nothing.
    virtual void setParameterValue(ParameterId id, const std::string& text) = 0;

protected:
    ~DtmServices() = default;
};

}  // namespace engine::communication
