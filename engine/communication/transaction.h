#pragma once

#include <cstdint>
#include <string>

#include "idl/qad_generic_dtm.h"
#include "platform/com/comptr.h"

namespace engine::communication {

// One HART command exchange in the channel's queue. Owned by the queue; freed
// when it completes, is cleared by its requester or the queue is aborted.
struct Transaction {
    std::string invokeId;              // fresh GUID, 36 characters without braces
    std::string commandKey;            // decimal text of the command key
    std::string request;               // the complete DataExchangeRequest document
    std::string reference;             // the communicationReference written into it
    com::ComPtr<IObserver> requester;  // who queued it; null for none
    int32_t ownerId = 0;               // requester's owner id; 0 without requester
    bool sent = false;                 // went to the frame; no answer processed yet
    bool batchEnd = false;             // last entry of one queued element
    bool uploadMark = false;           // finishes the frame's upload
    bool downloadMark = false;         // finishes the frame's download
    bool isDownload = false;           // belongs to a download element
};

}  // namespace engine::communication
