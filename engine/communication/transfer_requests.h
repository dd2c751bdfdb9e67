#pragma once

#include <string>
#include <string_view>

#include "platform/com/bstr.h"
#include "platform/com/hresult.h"

struct IDispatch;

// The frame's upload and download requests and the private-interface
// operations that queue device work, on top of a bound HartChannel. The DTM
// object checks its lifecycle guards and forwards; nothing here throws.
namespace engine::communication {

class HartChannel;

// Outcome of the frame's upload or download request.
struct TransferRequestResult {
    bool started = false;      // commands were queued; the frame hears the end
    bool lockGranted = false;  // the frame granted the data-set lock (the DTM keeps it)
};

// Download: the outer DTM's "try_download" consent, then no writable
// parameter may be out of range (the first one's inconsistency message is
// shown), then the data-set lock ("Communication Error LockDataSet failed"
// when refused), the outer DTM's download list queued without requester and
// marked as the transfer under invokeId.
TransferRequestResult RequestDownload(HartChannel& channel, const std::string& invokeId);
// Upload: the lock, the outer DTM's upload list, the mark.
TransferRequestResult RequestUpload(HartChannel& channel, const std::string& invokeId);

// IQadGenericDTMObject::DoAction: runs *action for observer (may be null).
// S_OK; E_POINTER for a null action pointer or when the script ended with an
// exception.
HRESULT DoAction(HartChannel& channel, BSTR* action, IDispatch* observer);
// IQadGenericDTMObject::ClearActions. S_OK.
HRESULT ClearActions(HartChannel& channel, IDispatch* observer);
// IQadGenericDTMObject::execute_Action: a text containing "OnDownloadFinished"
// tells the frame that the download invokeId finished successfully; one
// containing "download" runs as a script without requester and its last
// queued entry ends the frame's download invokeId; other texts do nothing.
// S_OK; E_POINTER for null pointers or an exception.
HRESULT ExecuteAction(HartChannel& channel, BSTR* action, BSTR* invokeId);

}  // namespace engine::communication
