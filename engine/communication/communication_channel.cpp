#include "engine/communication/communication_channel.h"

#include <vector>

#include "engine/dtm/language_table.h"
#include "engine/parameters/device_object.h"
#include "platform/com/bstr.h"
#include "platform/xml/schema_cache.h"

namespace engine::communication {
namespace {

com::Bstr bstr(std::string_view text) {
    return com::Bstr::fromUtf8(text);
}

VARIANT_BOOL variantBool(bool value) {
    return value ? VARIANT_TRUE : VARIANT_FALSE;
}

int32_t ownerIdOf(IObserver* observer) {
    if (observer == nullptr) return 0;
    LONG id = 0;
    if (FAILED(observer->GetOwnerID(&id))) return 0;
    return id;
}

void callOnUpDownload(IOuterDTM* outer, bool preEvent, int32_t paraId, bool download) {
    if (outer == nullptr) return;
    com::Variant id(paraId);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    outer->OnUpDownload(variantBool(preEvent), *id.get(), variantBool(download), &cancel);
}

}  // namespace

CommunicationChannel::CommunicationChannel() = default;

CommunicationChannel::~CommunicationChannel() {
    // Entries and references go without events: the frame and the outer DTM
    // may be gone already when the DTM object is destroyed.
    timer_.reset();
    const std::scoped_lock queueGuard(queueLock_);
    queue_.clear();
}

void CommunicationChannel::Init(const ChannelBindings& bindings) {
    if (channelState_ != kChannelNotInitialised) return;
    deviceObject_ = bindings.deviceObject;
    dtmObject_ = bindings.dtmObject;
    schemaCache_ = bindings.schemaCache;
    outerDtm_ = bindings.outerDtm;
    systemTag_ = bindings.systemTag;
    translator_ = bindings.translator;
    const com::ComPtr<IUnknown> container(bindings.frameContainer);
    frameEvents_ = container.as<IFdtEvents>();
    frameContainer_ = container.as<IFdtContainer>();
    eventsCallback_ =
        com::ComPtr<IUnknown>(bindings.eventsCallback).as<IFdtCommunicationEvents>().get();
    timer_ = std::make_unique<hartdtm::loop::TimerHost>();
    channelState_ = kChannelInitialised;
}

bool CommunicationChannel::IsOnline() const {
    return channelState_ == kChannelOnline;
}

bool CommunicationChannel::GetStateName(std::string& name) const {
    switch (channelState_) {
        case kChannelNotInitialised:
        case kChannelInitialised:
        case kChannelOffline:
            name = "OFFLINE";
            return true;
        case kChannelOnline:
            name = "ONLINE";
            return true;
        case kChannelIdentified:
            name = "IDENTIFICATED";
            return true;
        default:
            return false;
    }
}

bool CommunicationChannel::SetCommunication(IFdtCommunication* communication) {
    if (communication == nullptr) return false;
    communication_ = com::ComPtr<IFdtCommunication>(communication);
    channelState_ = kChannelOffline;
    RequestConnect();
    return true;
}

bool CommunicationChannel::ReleaseCommunication() {
    const bool noConnection = connectionState_ == kNoConnection ||
                              (connectionState_ == kDisconnected && !disconnectOutstanding_);
    if (!noConnection || connectPending_) return false;
    communication_.reset();
    // Without an interface there is no connection at all, so the next
    // SetCommunication connects again.
    if (connectionState_ != kNoConnection) SetConnectionState(kNoConnection);
    return true;
}

void CommunicationChannel::Shutdown() {
    if (timer_) timer_->cancelAll();
    AbortAll();
    timer_.reset();
    communication_.reset();
    frameEvents_.reset();
    frameContainer_.reset();
    eventsCallback_ = nullptr;
    outerDtm_ = nullptr;
    schemaCache_.reset();
    deviceObject_ = nullptr;
    dtmObject_ = nullptr;
    translator_ = nullptr;
    connectPending_ = false;
    disconnectPending_ = false;
    connectionState_ = kNoConnection;
    channelState_ = -1;  // outside every state: Init does not act again
}

bool CommunicationChannel::PrepareRelease() {
    if (connectionState_ == kConnected || connectionState_ == kConnectRequested ||
        connectPending_) {
        Disconnect();
        return !disconnectFailed_;
    }
    if (connectionState_ == kNoConnection) SendPreparedToReleaseCommunication();
    return true;
}

void CommunicationChannel::OnAbort(const std::string& /*communicationReference*/) {
    channelState_ = kChannelOffline;
    AbortAll();
    SetConnectionState(kDisconnected);
    SendPreparedToReleaseCommunication();
    SendFunctionChanged();
}

void CommunicationChannel::MarkTransfer(bool download, const std::string& invokeId) {
    const std::scoped_lock queueGuard(queueLock_);
    transferInvokeId_ = invokeId;
    if (queue_.empty()) return;
    Transaction& last = queue_.back();
    if (download) {
        last.downloadMark = true;
    } else {
        last.uploadMark = true;
    }
}

void CommunicationChannel::ClearActions(IDispatch* requester) {
    const com::ComPtr<IObserver> observer = com::ComPtr<IDispatch>(requester).as<IObserver>();
    const int32_t ownerId = ownerIdOf(observer.get());
    Queue removed;
    bool reportNow = false;
    {
        const std::scoped_lock queueGuard(queueLock_);
        for (auto entry = queue_.begin(); entry != queue_.end();) {
            const auto next = std::next(entry);
            if (entry->ownerId == ownerId) {
                progress_.complete(parseCommandKey(entry->commandKey));
                removed.splice(removed.end(), queue_, entry);
            }
            entry = next;
        }
        reportNow = !removed.empty() && progress_.active() && progress_.outstanding().empty();
    }
    if (reportNow) ReportProgress();
}

void CommunicationChannel::Complete(const std::string& invokeId) {
    Transaction done;
    {
        const std::scoped_lock queueGuard(queueLock_);
        const Transaction* entry = FindTransaction(invokeId);
        if (entry == nullptr) return;
        done = *entry;
    }
    const CommandKey key = parseCommandKey(done.commandKey);
    IOuterDTM* outer = outerDtm_;
    if (done.uploadMark || done.downloadMark) {
        callOnUpDownload(outer, false, -1, done.downloadMark);
        SendTransferFinished(done.downloadMark, transferInvokeId_, true);
        if (deviceObject_ != nullptr) deviceObject_->setDataSetState("allDataLoaded");
        UnlockDataSet();
    } else if (done.batchEnd && done.requester) {
        const com::Variant paraId = com::Variant::fromText(done.commandKey);
        done.requester->Finished(*paraId.get());
    }
    callOnUpDownload(outer, false, commandKeyAsInt32(key), done.isDownload);
    // The callbacks may have removed the entry (ClearActions) or queued more.
    const std::scoped_lock queueGuard(queueLock_);
    for (auto entry = queue_.begin(); entry != queue_.end(); ++entry) {
        if (entry->invokeId != invokeId) continue;
        progress_.complete(key);
        queue_.erase(entry);
        break;
    }
}

void CommunicationChannel::AbortAll() {
    Queue aborted;
    {
        const std::scoped_lock queueGuard(queueLock_);
        aborted.swap(queue_);
        progress_.abandon();
    }
    // Entries queued by the callbacks below belong to a new run and stay.
    for (const Transaction& entry : aborted) {
        if (!entry.downloadMark && !entry.uploadMark) continue;
        SendTransferFinished(entry.downloadMark, transferInvokeId_, false);
        UnlockDataSet();
        break;
    }
}

void CommunicationChannel::StartProgress(const std::string& title) {
    const std::scoped_lock queueGuard(queueLock_);
    progress_.start(title);
}

void CommunicationChannel::StopProgress() {
    const std::scoped_lock queueGuard(queueLock_);
    progress_.stop();
}

void CommunicationChannel::ReportProgress() {
    std::string title;
    int32_t percent = 0;
    bool show = false;
    {
        const std::scoped_lock queueGuard(queueLock_);
        if (!progress_.active()) return;
        show = !progress_.outstanding().empty();
        percent = progress_.percent();
        title = progress_.title();
    }
    if (frameEvents_)
        frameEvents_->OnProgress(bstr(systemTag_).get(), bstr(title).get(), percent,
                                 variantBool(show));
}

std::list<Transaction> CommunicationChannel::queueSnapshot() const {
    const std::scoped_lock queueGuard(queueLock_);
    return queue_;
}

size_t CommunicationChannel::queueSize() const {
    const std::scoped_lock queueGuard(queueLock_);
    return queue_.size();
}

std::string CommunicationChannel::translate(std::string_view key) const {
    return translator_ != nullptr ? translator_->translate(key) : std::string(key);
}

void CommunicationChannel::SendErrorMessage(const std::string& text) {
    if (frameEvents_) frameEvents_->OnErrorMessage(bstr(systemTag_).get(), bstr(text).get());
}

bool CommunicationChannel::LockDataSet() {
    if (!frameContainer_) return false;
    VARIANT_BOOL granted = VARIANT_FALSE;
    if (FAILED(frameContainer_->LockDataSet(bstr(systemTag_).get(), &granted))) return false;
    return granted != VARIANT_FALSE;
}

bool CommunicationChannel::UnlockDataSet() {
    if (!frameContainer_) return false;
    VARIANT_BOOL released = VARIANT_FALSE;
    if (FAILED(frameContainer_->UnlockDataSet(bstr(systemTag_).get(), &released))) return false;
    return released != VARIANT_FALSE;
}

void CommunicationChannel::SendTransferFinished(bool download, const std::string& invokeId,
                                                bool success) {
    if (!frameEvents_) return;
    const com::Bstr id = bstr(invokeId);
    if (download) {
        frameEvents_->OnDownloadFinished(id.get(), variantBool(success));
    } else {
        frameEvents_->OnUploadFinished(id.get(), variantBool(success));
    }
}

void CommunicationChannel::StartTimer(int milliseconds) {
    if (!timer_) return;
    timer_->arm(kChannelTimerId, hartdtm::loop::Milliseconds(milliseconds), [this] { OnTimer(); });
}

void CommunicationChannel::SetConnectionState(int32_t state) {
    connectionState_ = state;
    if (frameEvents_) {
        frameEvents_->OnOnlineStateChanged(bstr(systemTag_).get(),
                                           variantBool(state == kConnected));
    }
}

void CommunicationChannel::SendPreparedToReleaseCommunication() {
    if (frameEvents_) frameEvents_->OnPreparedToReleaseCommunication(bstr(systemTag_).get());
}

void CommunicationChannel::SendFunctionChanged() {
    if (frameEvents_) frameEvents_->OnFunctionChanged(bstr(systemTag_).get());
}

Transaction* CommunicationChannel::FindTransaction(const std::string& invokeId) {
    for (Transaction& entry : queue_) {
        if (entry.invokeId == invokeId) return &entry;
    }
    return nullptr;
}

}  // namespace engine::communication
