#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "engine/communication/command_key.h"
#include "engine/communication/progress_tracker.h"
#include "engine/communication/transaction.h"
#include "idl/fdt_frame.h"
#include "idl/qad_generic_dtm.h"
#include "platform/com/comptr.h"
#include "platform/loop/timer_host.h"

namespace xml {
class SchemaCache;
}

namespace engine {
class DeviceObject;
class LanguageTable;
}  // namespace engine

namespace engine::communication {

class DtmServices;

// What the DTM object binds its channel to (see CommunicationChannel::Init).
// Pointers are not owned unless said; all must outlive the channel or its
// Shutdown.
struct ChannelBindings {
    DeviceObject* deviceObject = nullptr;  // tag, short address, values, command map
    DtmServices* dtmObject = nullptr;      // DTM_MsgBox and SetValue
    std::shared_ptr<const xml::SchemaCache>
        schemaCache;  // validates the frame's answers; may be null
    // The outer DTM and the DTM object's own events interface are kept without
    // a counted reference (the DTM object owns the channel, and the outer DTM
    // aggregates the DTM object): both must stay valid until Shutdown.
    IOuterDTM* outerDtm = nullptr;       // may be null
    IUnknown* eventsCallback = nullptr;  // queried for IFdtCommunicationEvents
    // Queried for IFdtEvents and IFdtContainer; counted references are kept.
    IUnknown* frameContainer = nullptr;
    std::string systemTag;
    const LanguageTable* translator = nullptr;  // response-code messages, progress titles
};

// The channel states (`channelState`).
enum ChannelState : int32_t {
    kChannelNotInitialised = 0,
    kChannelInitialised = 1,
    kChannelOffline = 2,
    kChannelOnline = 3,
    kChannelIdentified = 4,
};

// The connection states (`connectionState`).
enum ConnectionState : int32_t {
    kNoConnection = 0,
    kConnectRequested = 1,
    kDisconnected = 2,
    kConnected = 3,
};

// The timer id of the channel's deferred actions.
inline constexpr hartdtm::loop::TimerId kChannelTimerId = 1042;

// The operations of a device channel, in their fixed order.
class ChannelOperations {
public:
    // The deferred-action timer fired.
    virtual void OnTimer() = 0;
    // The frame's upload (download FALSE) or download under invokeId ends
    // with the entry now at the back of the queue.
    virtual void MarkTransfer(bool download, const std::string& invokeId) = 0;
    // Binds the channel; only the first call acts.
    virtual void Init(const ChannelBindings& bindings) = 0;
    // TRUE in channel state 3.
    virtual bool IsOnline() const = 0;
    // Queues the commands of one upload or download element for requester
    // (null, or an object answering IObserver); TRUE when one was queued.
    virtual bool QueueCommands(IDispatch* requester, std::string_view element) = 0;
    // Removes every entry with the requester's owner id (0 for null).
    virtual void ClearActions(IDispatch* requester) = 0;
    virtual ~ChannelOperations() = default;
    // The frame's answers, forwarded unchanged by the DTM object (which tells
    // the outer DTM of the online state after a connect or disconnect
    // response). None of them throws; a document that cannot be read changes
    // no queue entry.
    virtual void OnAbort(const std::string& communicationReference) = 0;
    virtual void OnConnectResponse(const std::string& invokeId, const std::string& response) = 0;
    virtual void OnDisconnectResponse(const std::string& invokeId, const std::string& response) = 0;
    virtual void OnTransactionResponse(const std::string& invokeId,
                                       const std::string& response) = 0;
    // The frame's PrepareToReleaseCommunication: TRUE when the connection is
    // gone or its DisconnectRequest went out.
    virtual bool PrepareRelease() = 0;
    // "OFFLINE", "ONLINE" or "IDENTIFICATED"; false (name untouched) for a
    // state outside 0 to 4.
    virtual bool GetStateName(std::string& name) const = 0;
    virtual void RequestConnect() = 0;
    virtual void Disconnect() = 0;
    // Ends the connection after a communication error document.
    virtual void Abort() = 0;
};

// The bus-independent part of a device channel: bindings, the connection and
// channel states, the transaction queue under one re-entrant lock, progress
// tracking and the completion of queued work. Lives on the apartment thread;
// every call into the frame, the outer DTM or an observer may re-enter the
// channel, so no queue iterator is held across such a call.
class CommunicationChannel : public ChannelOperations {
public:
    CommunicationChannel();
    ~CommunicationChannel() override;
    CommunicationChannel(const CommunicationChannel&) = delete;
    CommunicationChannel& operator=(const CommunicationChannel&) = delete;

    void MarkTransfer(bool download, const std::string& invokeId) override;
    void Init(const ChannelBindings& bindings) override;
    bool IsOnline() const override;
    void ClearActions(IDispatch* requester) override;
    void OnAbort(const std::string& communicationReference) override;
    bool PrepareRelease() override;
    bool GetStateName(std::string& name) const override;

    // --- called by the DTM object besides the operations above ---

    // Keeps a counted reference to the frame's HART channel (releasing the
    // previous one), goes offline and asks for a connection. Null is refused
    // (false) and changes nothing.
    bool SetCommunication(IFdtCommunication* communication);
    // Drops the frame's interface when no connection exists or is on its way
    // (never connected, refused, or disconnected and answered); false keeps it.
    bool ReleaseCommunication();
    // Ends everything for the DTM's release: the timer is killed, queued work
    // is aborted (a running transfer ends with finished FALSE), every frame and
    // outer-DTM reference is dropped, and the channel is not initialised again.
    void Shutdown();

    // --- queue operations of the upload and download engine ---

    // Completes the entry of invokeId after its answer was decoded: transfer
    // ends, the requester's Finished for a batch end, the outer DTM's
    // post-event; then the entry is freed. Unknown ids do nothing.
    void Complete(const std::string& invokeId);
    // Ends all queued work: a marked transfer ends with finished FALSE and the
    // data set is unlocked; every entry is freed; progress stops counting.
    void AbortAll();
    // Starts, stops and reports progress tracking.
    void StartProgress(const std::string& title);
    void StopProgress();
    void ReportProgress();

    // --- state, for the DTM object and tests ---
    int32_t channelState() const { return channelState_; }
    int32_t connectionState() const { return connectionState_; }
    const std::string& communicationReference() const { return communicationReference_; }
    const std::string& transferInvokeId() const { return transferInvokeId_; }
    bool blocked() const { return blocked_ != 0; }
    bool disconnectFailed() const { return disconnectFailed_; }
    bool connectPending() const { return connectPending_; }
    bool disconnectPending() const { return disconnectPending_; }
    const ProgressTracker& progress() const { return progress_; }
    // A copy of the queue, front (next to be sent) first.
    std::list<Transaction> queueSnapshot() const;
    size_t queueSize() const;

    // --- bindings, for the upload and download requests ---
    DeviceObject* deviceObject() const { return deviceObject_; }
    DtmServices* dtmObject() const { return dtmObject_; }
    IOuterDTM* outerDtm() const { return outerDtm_; }
    const LanguageTable* translator() const { return translator_; }
    const std::string& systemTag() const { return systemTag_; }
    // The translation of key (the key itself without a table).
    std::string translate(std::string_view key) const;
    // frameEvents error message with the system tag.
    void SendErrorMessage(const std::string& text);
    // frameContainer lock and unlock of the data set; false without a container.
    bool LockDataSet();
    bool UnlockDataSet();
    // frameEvents upload finished or download finished.
    void SendTransferFinished(bool download, const std::string& invokeId, bool success);

protected:
    using Queue = std::list<Transaction>;

    // Arms timer 1042 unless it is armed.
    void StartTimer(int milliseconds);
    // Sets the connection state and reports the online state (TRUE for 3).
    void SetConnectionState(int32_t state);
    void SendPreparedToReleaseCommunication();
    void SendFunctionChanged();
    // The entry of invokeId, searched from the front; null when none.
    Transaction* FindTransaction(const std::string& invokeId);

    int32_t channelState_ = kChannelNotInitialised;
    int32_t connectionState_ = kNoConnection;
    DeviceObject* deviceObject_ = nullptr;
    DtmServices* dtmObject_ = nullptr;
    std::shared_ptr<const xml::SchemaCache> schemaCache_;
    com::ComPtr<IFdtCommunication> communication_;
    com::ComPtr<IFdtEvents> frameEvents_;
    com::ComPtr<IFdtContainer> frameContainer_;
    IFdtCommunicationEvents* eventsCallback_ = nullptr;  // not counted, see ChannelBindings
    IOuterDTM* outerDtm_ = nullptr;                      // not counted, see ChannelBindings
    std::string systemTag_;
    std::string communicationReference_;
    std::string transferInvokeId_;
    std::unique_ptr<hartdtm::loop::TimerHost> timer_;
    Queue queue_;
    mutable std::recursive_mutex queueLock_;
    int16_t blocked_ = 0;
    bool disconnectFailed_ = false;
    bool connectPending_ = false;
    bool disconnectPending_ = false;
    // A DisconnectRequest was accepted and its answer has not arrived.
    bool disconnectOutstanding_ = false;
    ProgressTracker progress_;
    const LanguageTable* translator_ = nullptr;
};

}  // namespace engine::communication
