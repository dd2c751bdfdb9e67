#pragma once
// The frame object a DTM is given with Environment: its container (data-set
// locks, the schema path), its event sink, its application interface and its
// user dialog, all on one COM object, as the DTM queries the container for
// the others. Every call is recorded in the event log.

#include <filesystem>
#include <span>
#include <string>

#include "frame/data_set_locks.h"
#include "frame/event_log.h"
#include "frame/user_dialog.h"
#include "idl/fdt_frame.h"
#include "platform/com/no_late_binding.h"
#include "platform/com/object.h"

namespace frame {

class FrameHost
    : public com::ComObjectRoot,
      public com::NoLateBinding<IFdtContainer, IFdtEvents, IFdtApplication, IFdtDialog> {
public:
    // schemaPath: the directory handed out by GetXmlSchemaPath; empty: the
    // frame has none (GetXmlSchemaPath fails).
    explicit FrameHost(std::filesystem::path schemaPath) : schemaPath_(std::move(schemaPath)) {}

    static std::span<const com::InterfaceEntry> interfaces() {
        static constexpr com::InterfaceEntry table[] = {
            com::entry<FrameHost, IFdtContainer>(),
            com::entry<FrameHost, IFdtEvents>(),
            com::entry<FrameHost, IFdtApplication>(),
            com::entry<FrameHost, IFdtDialog>(),
            com::entryAs<FrameHost, IFdtContainer>(IDispatch::iid),
        };
        return table;
    }

    EventLog& events() { return events_; }
    DataSetLocks& locks() { return locks_; }
    frame::UserDialog& dialog() { return dialog_; }
    const std::filesystem::path& schemaPath() const { return schemaPath_; }

    // The frame's objects are called through their vtables only.

    // IFdtContainer: locks per system tag (see DataSetLocks); the schema path
    // as a new BSTR, E_FAIL without one.
    HRESULT LockDataSet(BSTR systemTag, VARIANT_BOOL* result) override;
    HRESULT UnlockDataSet(BSTR systemTag, VARIANT_BOOL* result) override;
    HRESULT GetXmlSchemaPath(BSTR* path) override;

    // IFdtEvents: each call is one event of the log (kinds in event_log.h).
    HRESULT OnParametersChanged(BSTR systemTag, BSTR parameters) override;
    HRESULT OnErrorMessage(BSTR systemTag, BSTR message) override;
    HRESULT OnProgress(BSTR systemTag, BSTR title, LONG percent, VARIANT_BOOL show) override;
    HRESULT OnUploadFinished(BSTR invokeId, VARIANT_BOOL success) override;
    HRESULT OnDownloadFinished(BSTR invokeId, VARIANT_BOOL success) override;
    HRESULT OnApplicationClosed(BSTR invokeId) override;
    HRESULT OnFunctionChanged(BSTR systemTag) override;
    HRESULT OnOnlineStateChanged(BSTR systemTag, VARIANT_BOOL online) override;
    HRESULT OnPreparedToRelease(BSTR systemTag) override;
    HRESULT OnPreparedToReleaseCommunication(BSTR systemTag) override;

    // IFdtApplication: recorded; the frame opens no views of its own.
    HRESULT CloseApplication(BSTR invokeId, LONG functionId) override;

    // IFdtDialog: the message is recorded, answered by the dialog (scripted,
    // asked or default) and the answer document written to *answer. A message
    // that cannot be read is recorded and answered with null.
    HRESULT UserDialog(BSTR systemTag, BSTR userMessage, BSTR* answer) override;

private:
    void record(std::string kind, std::vector<std::string> fields, BSTR systemTag = nullptr);

    std::filesystem::path schemaPath_;
    EventLog events_;
    DataSetLocks locks_;
    frame::UserDialog dialog_;
};

}  // namespace frame
