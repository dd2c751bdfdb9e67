// The test program is the host of the DTMs it loads: their error boxes go
// into the running frame session's event log.

#include "frame/error_box_host.h"

extern "C" __attribute__((visibility("default"))) int HartDtmMessageBox(const char* text,
                                                                        const char* caption,
                                                                        unsigned flags) {
    return frame::showHostErrorBox(text, caption, flags);
}
