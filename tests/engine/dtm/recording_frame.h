#pragma once
// A recording stand-in for the frame: container, event sink, application and
// user-dialog interfaces on one object. Every call is logged as one line;
// answers are set by the test.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "idl/fdt_frame.h"
#include "platform/com/no_late_binding.h"
#include "platform/com/object.h"

namespace testing_frame {

class RecordingFrame
    : public com::ComObjectRoot,
      public com::NoLateBinding<IFdtContainer, IFdtEvents, IFdtApplication, IFdtDialog> {
public:
    static std::span<const com::InterfaceEntry> interfaces() {
        using Self = RecordingFrame;
        static constexpr com::InterfaceEntry table[] = {
            com::entry<Self, IFdtContainer>(),
            com::entry<Self, IFdtEvents>(),
            com::entry<Self, IFdtApplication>(),
            com::entry<Self, IFdtDialog>(),
        };
        return table;
    }

    // --- answers ---
    bool grantLock = true;
    bool grantUnlock = true;
    std::optional<std::string> schemaPath;  // nullopt: the frame has no schema path
    // The answer document of the user dialog, made from the message document.
    std::function<std::string(const std::string&)> dialogAnswer;

    // --- what happened ---
    std::vector<std::string> log;
    std::vector<std::string> messages;  // user-message documents shown

    bool logged(const std::string& line) const {
        for (const auto& l : log) {
            if (l == line) return true;
        }
        return false;
    }
    int count(const std::string& prefix) const {
        int n = 0;
        for (const auto& l : log) n += l.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }

    // IFdtContainer
    HRESULT LockDataSet(BSTR systemTag, VARIANT_BOOL* result) override {
        record("LockDataSet " + com::toUtf8(systemTag));
        *result = grantLock ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT UnlockDataSet(BSTR systemTag, VARIANT_BOOL* result) override {
        record("UnlockDataSet " + com::toUtf8(systemTag));
        *result = grantUnlock ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT GetXmlSchemaPath(BSTR* path) override {
        record("GetXmlSchemaPath");
        if (!schemaPath) return E_FAIL;
        *path = com::allocBstr(*schemaPath);
        return S_OK;
    }

    // IFdtEvents
    HRESULT OnParametersChanged(BSTR tag, BSTR parameters) override {
        return record("OnParametersChanged " + com::toUtf8(tag) + " " + com::toUtf8(parameters));
    }
    HRESULT OnErrorMessage(BSTR tag, BSTR message) override {
        return record("OnErrorMessage " + com::toUtf8(tag) + " " + com::toUtf8(message));
    }
    HRESULT OnProgress(BSTR tag, BSTR title, LONG percent, VARIANT_BOOL show) override {
        return record("OnProgress " + com::toUtf8(tag) + " " + com::toUtf8(title) + " " +
                      std::to_string(percent) + (show ? " TRUE" : " FALSE"));
    }
    HRESULT OnUploadFinished(BSTR invokeId, VARIANT_BOOL success) override {
        return record("OnUploadFinished " + com::toUtf8(invokeId) + (success ? " TRUE" : " FALSE"));
    }
    HRESULT OnDownloadFinished(BSTR invokeId, VARIANT_BOOL success) override {
        return record("OnDownloadFinished " + com::toUtf8(invokeId) +
                      (success ? " TRUE" : " FALSE"));
    }
    HRESULT OnApplicationClosed(BSTR invokeId) override {
        return record("OnApplicationClosed " + com::toUtf8(invokeId));
    }
    HRESULT OnFunctionChanged(BSTR tag) override {
        return record("OnFunctionChanged " + com::toUtf8(tag));
    }
    HRESULT OnOnlineStateChanged(BSTR tag, VARIANT_BOOL online) override {
        return record("OnOnlineStateChanged " + com::toUtf8(tag) + (online ? " TRUE" : " FALSE"));
    }
    HRESULT OnPreparedToRelease(BSTR tag) override {
        return record("OnPreparedToRelease " + com::toUtf8(tag));
    }
    HRESULT OnPreparedToReleaseCommunication(BSTR tag) override {
        return record("OnPreparedToReleaseCommunication " + com::toUtf8(tag));
    }

    // IFdtApplication
    HRESULT CloseApplication(BSTR invokeId, LONG functionId) override {
        return record("CloseApplication " + com::toUtf8(invokeId) + " " +
                      std::to_string(functionId));
    }

    // IFdtDialog
    HRESULT UserDialog(BSTR tag, BSTR userMessage, BSTR* answer) override {
        record("UserDialog " + com::toUtf8(tag));
        messages.push_back(com::toUtf8(userMessage));
        *answer = dialogAnswer ? com::allocBstr(dialogAnswer(messages.back())) : nullptr;
        return S_OK;
    }

private:
    HRESULT record(std::string line) {
        log.push_back(std::move(line));
        return S_OK;
    }
};

// A frame that offers no user-dialog interface.
class FrameWithoutDialog : public RecordingFrame {
public:
    static std::span<const com::InterfaceEntry> interfaces() {
        using Self = FrameWithoutDialog;
        static constexpr com::InterfaceEntry table[] = {
            com::entry<Self, IFdtContainer>(),
            com::entry<Self, IFdtEvents>(),
            com::entry<Self, IFdtApplication>(),
        };
        return table;
    }
};

// A HART channel of the frame that accepts every request and answers none.
class SilentCommunication : public com::ComObjectRoot,
                            public com::NoLateBinding<IFdtCommunication> {
public:
    static std::span<const com::InterfaceEntry> interfaces() {
        static constexpr com::InterfaceEntry table[] = {
            com::entry<SilentCommunication, IFdtCommunication>()};
        return table;
    }
    HRESULT Abort(BSTR) override { return S_OK; }
    HRESULT ConnectRequest(IFdtCommunicationEvents*, BSTR, BSTR, BSTR,
                           VARIANT_BOOL* accepted) override {
        ++requests;
        *accepted = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT DisconnectRequest(BSTR, BSTR, VARIANT_BOOL* accepted) override {
        ++requests;
        *accepted = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT TransactionRequest(BSTR, BSTR, VARIANT_BOOL* accepted) override {
        ++requests;
        *accepted = VARIANT_TRUE;
        return S_OK;
    }
    int requests = 0;
};

}  // namespace testing_frame
