// The frame's HART channel answers and its upload and download requests,
// handed to the embedded channel.

#include "engine/communication/hart_channel.h"
#include "engine/communication/transfer_requests.h"
#include "engine/dtm/dtm_support_p.h"
#include "engine/dtm/qad_generic_dtm_object.h"

namespace engine {

using namespace dtm_support;

HRESULT QadGenericDTMObject::OnAbort(BSTR communicationReference) {
    return barrier(E_FAIL, [&] {
        channel_->OnAbort(com::toUtf8(communicationReference));
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::OnConnectResponse(BSTR invokeId, BSTR response) {
    return barrier(E_FAIL, [&] {
        channel_->OnConnectResponse(com::toUtf8(invokeId), com::toUtf8(response));
        if (outerDtm_) outerDtm_->OnOnlineStateChanged();
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::OnDisconnectResponse(BSTR invokeId, BSTR response) {
    return barrier(E_FAIL, [&] {
        channel_->OnDisconnectResponse(com::toUtf8(invokeId), com::toUtf8(response));
        if (outerDtm_) outerDtm_->OnOnlineStateChanged();
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::OnTransactionResponse(BSTR invokeId, BSTR response) {
    return barrier(E_FAIL, [&] {
        channel_->OnTransactionResponse(com::toUtf8(invokeId), com::toUtf8(response));
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::CancelAction(BSTR, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    return S_OK;
}

HRESULT QadGenericDTMObject::DownloadRequest(BSTR invokeId, BSTR, VARIANT_BOOL* result) {
    return transferRequest(true, invokeId, result);
}

HRESULT QadGenericDTMObject::UploadRequest(BSTR invokeId, BSTR, VARIANT_BOOL* result) {
    return transferRequest(false, invokeId, result);
}

HRESULT QadGenericDTMObject::transferRequest(bool download, BSTR invokeId, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = VARIANT_FALSE;
    if (state_ != kCommunicating) return S_OK;
    return barrier(E_FAIL, [&] {
        const std::string id = com::toUtf8(invokeId);
        const communication::TransferRequestResult outcome =
            download ? communication::RequestDownload(*channel_, id) : communication::RequestUpload(*channel_, id);
        if (outcome.lockGranted) dataSetLocked_ = true;
        *result = fdtBool(outcome.started);
        return S_OK;
    });
}

}  // namespace engine
