#include "frame/frame_host.h"

namespace frame {

void FrameHost::record(std::string kind, std::vector<std::string> fields, BSTR systemTag) {
    events_.record({std::move(kind), std::move(fields), com::toUtf8(systemTag)});
}

HRESULT FrameHost::LockDataSet(BSTR systemTag, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = locks_.lock(com::toUtf8(systemTag)) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT FrameHost::UnlockDataSet(BSTR systemTag, VARIANT_BOOL* result) {
    if (!result) return E_POINTER;
    *result = locks_.unlock(com::toUtf8(systemTag)) ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT FrameHost::GetXmlSchemaPath(BSTR* path) {
    if (!path) return E_POINTER;
    if (schemaPath_.empty()) return E_FAIL;
    *path = com::allocBstr(schemaPath_.string());
    return *path ? S_OK : E_OUTOFMEMORY;
}

HRESULT FrameHost::OnParametersChanged(BSTR systemTag, BSTR parameters) {
    record("parameters-changed", {com::toUtf8(parameters)}, systemTag);
    return S_OK;
}

HRESULT FrameHost::OnErrorMessage(BSTR systemTag, BSTR message) {
    record("error", {com::toUtf8(message)}, systemTag);
    return S_OK;
}

HRESULT FrameHost::OnProgress(BSTR systemTag, BSTR title, LONG percent, VARIANT_BOOL show) {
    record("progress",
           {com::toUtf8(title), std::to_string(percent), boolText(show != VARIANT_FALSE)},
           systemTag);
    return S_OK;
}

HRESULT FrameHost::OnUploadFinished(BSTR invokeId, VARIANT_BOOL success) {
    record("upload-finished", {com::toUtf8(invokeId), boolText(success != VARIANT_FALSE)});
    return S_OK;
}

HRESULT FrameHost::OnDownloadFinished(BSTR invokeId, VARIANT_BOOL success) {
    record("download-finished", {com::toUtf8(invokeId), boolText(success != VARIANT_FALSE)});
    return S_OK;
}

HRESULT FrameHost::OnApplicationClosed(BSTR invokeId) {
    record("application-closed", {com::toUtf8(invokeId)});
    return S_OK;
}

HRESULT FrameHost::OnFunctionChanged(BSTR systemTag) {
    record("functions-changed", {}, systemTag);
    return S_OK;
}

HRESULT FrameHost::OnOnlineStateChanged(BSTR systemTag, VARIANT_BOOL online) {
    record("online-state", {boolText(online != VARIANT_FALSE)}, systemTag);
    return S_OK;
}

HRESULT FrameHost::OnPreparedToRelease(BSTR systemTag) {
    record("prepared-to-release", {}, systemTag);
    return S_OK;
}

HRESULT FrameHost::OnPreparedToReleaseCommunication(BSTR systemTag) {
    record("prepared-to-release-communication", {}, systemTag);
    return S_OK;
}

HRESULT FrameHost::CloseApplication(BSTR invokeId, LONG functionId) {
    record("close-application", {com::toUtf8(invokeId), std::to_string(functionId)});
    return S_OK;
}

HRESULT FrameHost::UserDialog(BSTR systemTag, BSTR userMessage, BSTR* answer) {
    if (!answer) return E_POINTER;
    *answer = nullptr;
    const std::string document = com::toUtf8(userMessage);
    const UserMessageRead read = readUserMessage(document);
    if (!read.message) {
        record("message-unreadable", {read.error}, systemTag);
        return S_OK;
    }
    const UserMessage& message = *read.message;
    record("message", {message.type, message.buttons, message.text()}, systemTag);
    const frame::UserDialog::Decision decision = dialog_.decide(message);
    std::vector<std::string> fields{decision.button, decision.how};
    if (!decision.note.empty()) fields.push_back("(" + decision.note + ")");
    record("message-answer", std::move(fields), systemTag);
    if (const std::optional<std::string> text = answerDocument(document, decision.button)) {
        *answer = com::allocBstr(*text);
    }
    return S_OK;
}

}  // namespace frame
