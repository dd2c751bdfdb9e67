#include "engine/communication/hart_channel.h"

#include <exception>

#include "engine/communication/command_items.h"
#include "engine/communication/communication_documents.h"
#include "engine/communication/dtm_services.h"
#include "engine/communication/response_status.h"
#include "engine/description/dtm_exception.h"
#include "engine/parameters/device_object.h"
#include "engine/parameters/inconsistency_message.h"
#include "engine/parameters/value_parameter.h"
#include "idl/fdt_frame.h"
#include "platform/com/guid.h"

namespace engine::communication {
namespace {

constexpr ParameterId kDeviceStatusParameter = 210179647;
constexpr ParameterId kResponseCodeParameter = 439972815;
constexpr size_t kMessageLimit = 255;  // the formatted messages are cut to this

com::Bstr bstr(std::string_view text) {
    return com::Bstr::fromUtf8(text);
}

std::string newInvokeId() {
    return com::formatGuidBare(com::newGuid());
}

bool accepted(HRESULT result, VARIANT_BOOL answer) {
    return SUCCEEDED(result) && answer != VARIANT_FALSE;
}

std::string communicationErrorText(std::string_view head, const ParsedResponse& parsed,
                                   std::string_view fallback) {
    std::string text(head);
    text += "\nReason:";
    text += parsed.textOr("//fdt:CommunicationError/@communicationError", fallback);
    text += "\nTag:";
    text += parsed.textOr("//fdt:CommunicationError/@tag", fallback);
    return cutText(std::move(text), kMessageLimit);
}

std::string displayValue(const DeviceObject* device, ParameterId id) {
    const ValueParameter* parameter = device != nullptr ? device->find(id) : nullptr;
    return parameter != nullptr ? parameter->getValueText(kDisplayMode) : std::string();
}

}  // namespace

// The channel as the target of a running script.
class HartChannel::ScriptRunner final : public ScriptTarget {
public:
    ScriptRunner(HartChannel& channel, IDispatch* requester)
        : channel_(channel), requester_(requester) {}

    std::string translatedString(const std::string& key) override {
        return channel_.translate(key);
    }
    void startProgress(const std::string& title) override { channel_.StartProgress(title); }
    void stopProgress() override { channel_.StopProgress(); }
    void queueCommands(std::string_view element) override {
        channel_.QueueCommands(requester_, element);
    }
    void setValue(ParameterId id, const std::string& value) override {
        if (channel_.dtmObject_ != nullptr) {
            channel_.dtmObject_->setParameterValue(id, value);
        } else if (channel_.deviceObject_ != nullptr) {
            channel_.deviceObject_->setValue(id, value, kDisplayMode);
        }
    }

private:
    HartChannel& channel_;
    IDispatch* requester_;
};

void HartChannel::RunScript(std::string_view script, IDispatch* requester) {
    ScriptRunner runner(*this, requester);
    runActionScript(script, runner);
}

void HartChannel::OnTimer() {
    if (timer_) timer_->kill(kChannelTimerId);
    try {
        if (connectPending_) {
            SendConnectRequest();
        } else if (disconnectPending_) {
            Disconnect();
        } else if (frameEvents_ && channelState_ != kChannelOffline && disconnectFailed_) {
            SendErrorMessage("Communication Error DisconnectRequest failed");
        }
    } catch (...) {
        ReportFailure(std::current_exception());
    }
}

void HartChannel::RequestConnect() {
    if (!communication_ || connectionState_ != kNoConnection) return;
    connectPending_ = true;
    StartTimer(10);
}

void HartChannel::SendConnectRequest() {
    if (!communication_ || channelState_ == kChannelOnline) return;
    const std::string tag = deviceObject_ != nullptr ? deviceObject_->tag() : std::string();
    const std::string request =
        connectRequestDocument(tag, displayValue(deviceObject_, kShortAddressId));
    const std::string invokeId = newInvokeId();
    connectPending_ = false;
    SetConnectionState(kConnectRequested);
    const com::ComPtr<IFdtCommunication> communication = communication_;
    VARIANT_BOOL answer = VARIANT_FALSE;
    const HRESULT result = communication->ConnectRequest(eventsCallback_, bstr(invokeId).get(),
                                                         bstr(idl::fdt::kHartProtocolId).get(),
                                                         bstr(request).get(), &answer);
    if (accepted(result, answer)) return;
    SendErrorMessage("Communication Error ConnectRequest failed");
    channelState_ = kChannelOffline;
    communicationReference_.clear();
    AbortAll();
    SetConnectionState(kNoConnection);
    DropPendingDisconnect();
}

void HartChannel::DropPendingDisconnect() {
    if (!disconnectPending_) return;
    disconnectPending_ = false;
    SendPreparedToReleaseCommunication();
}

void HartChannel::OnConnectResponse(const std::string& /*invokeId*/, const std::string& response) {
    try {
        const ParsedResponse parsed = parseResponse(response, schemaCache_);
        if (const auto reference = parsed.text("//user:ConnectResponse/@communicationReference")) {
            channelState_ = kChannelOnline;
            communicationReference_ = *reference;
            SetConnectionState(kConnected);
            blocked_ = 0;
        } else {
            channelState_ = kChannelOffline;
            communicationReference_ = "unknow";
            SendErrorMessage(communicationErrorText("Communication Error: ConnectRequest failed.",
                                                    parsed, "unknow"));
            SetConnectionState(kNoConnection);
            AbortAll();
        }
        SendFunctionChanged();
        if (disconnectPending_) {
            StartTimer(10);
        } else {
            SendNext();
        }
    } catch (...) {
        ReportFailure(std::current_exception());
    }
}

void HartChannel::Disconnect() {
    if (!communication_) return;
    disconnectFailed_ = false;
    if (connectionState_ == kConnected) {
        disconnectPending_ = false;
        AbortAll();
        const std::string request = disconnectRequestDocument(communicationReference_);
        const std::string invokeId = newInvokeId();
        SetConnectionState(kDisconnected);
        disconnectOutstanding_ = true;
        const com::ComPtr<IFdtCommunication> communication = communication_;
        VARIANT_BOOL answer = VARIANT_FALSE;
        const HRESULT result =
            communication->DisconnectRequest(bstr(invokeId).get(), bstr(request).get(), &answer);
        if (accepted(result, answer)) return;
        disconnectOutstanding_ = false;
        SetConnectionState(kConnected);
        channelState_ = kChannelOnline;
        disconnectFailed_ = true;
        StartTimer(100);
    } else if (connectionState_ == kConnectRequested || connectPending_) {
        disconnectPending_ = true;
    } else {
        // A disconnect that waited for a connect which then failed: there is
        // nothing left to disconnect, and whoever asked hears so.
        DropPendingDisconnect();
    }
}

void HartChannel::OnDisconnectResponse(const std::string& /*invokeId*/,
                                       const std::string& response) {
    disconnectOutstanding_ = false;
    try {
        const ParsedResponse parsed = parseResponse(response, schemaCache_);
        if (parsed.text("//user:DisconnectResponse/@communicationReference")) {
            channelState_ = kChannelOffline;
            SetConnectionState(kDisconnected);
            SendPreparedToReleaseCommunication();
            SendFunctionChanged();
        } else {
            SendErrorMessage(
                communicationErrorText("Communication Error: ConnectRequest failed.", parsed, ""));
            SetConnectionState(kConnected);
        }
    } catch (...) {
        ReportFailure(std::current_exception());
    }
}

void HartChannel::Abort() {
    channelState_ = kChannelOffline;
    AbortAll();
    SetConnectionState(kDisconnected);
    SendPreparedToReleaseCommunication();
    SendFunctionChanged();
    const std::string request = abortDocument();
    if (const com::ComPtr<IFdtCommunication> communication = communication_) {
        communication->Abort(bstr(request).get());
    }
}

bool HartChannel::QueueCommands(IDispatch* requester, std::string_view element) {
    const CommandElement parsed = parseCommandElement(element);
    const com::ComPtr<IObserver> observer = com::ComPtr<IDispatch>(requester).as<IObserver>();
    LONG ownerId = 0;
    if (observer && FAILED(observer->GetOwnerID(&ownerId))) ownerId = 0;
    size_t queued = 0;
    std::string batchEndId;
    for (const CommandReference& command : parsed.commands) {
        if (IOuterDTM* outer = outerDtm_) {
            const com::Variant paraId(commandKeyAsInt32(commandKey(command.number, 0)));
            VARIANT_BOOL cancel = VARIANT_FALSE;
            outer->OnUpDownload(VARIANT_TRUE, *paraId.get(), VARIANT_FALSE, &cancel);
            if (cancel != VARIANT_FALSE) continue;
        }
        std::string invokeId;
        if (!QueueCommand(command, observer, ownerId, parsed.isDownload, parsed.isFirst, invokeId))
            continue;
        ++queued;
        // The element ends with the entry sent last: the last one queued, or
        // with "first" the first one queued (it ends up deepest).
        if (!parsed.isFirst || batchEndId.empty()) batchEndId = invokeId;
    }
    if (queued > 0) {
        {
            const std::scoped_lock queueGuard(queueLock_);
            if (Transaction* last = FindTransaction(batchEndId)) last->batchEnd = true;
        }
        if (channelState_ == kChannelOffline) RequestConnect();
    }
    SendNext();
    return queued > 0;
}

bool HartChannel::QueueCommand(const CommandReference& command,
                               const com::ComPtr<IObserver>& requester, int32_t ownerId,
                               bool isDownload, bool isFirst, std::string& invokeId) {
    const CommandKey key = commandKey(command.number, command.index);
    RequestBytes bytes;
    if (deviceObject_ != nullptr) bytes = buildRequestBytes(*deviceObject_, key);
    if (bytes.inconsistentParameter) {
        ValueParameter* parameter = deviceObject_->findDeep(*bytes.inconsistentParameter);
        if (parameter != nullptr && dtmObject_ != nullptr) {
            const std::string message = inconsistencyMessage(
                *parameter, [this](std::string_view text) { return translate(text); });
            dtmObject_->messageBox(message, kMessageBoxIconStop);
        }
        return false;
    }
    Transaction entry;
    entry.invokeId = newInvokeId();
    entry.commandKey = formatCommandKey(key);
    entry.request =
        dataExchangeRequestDocument(command.number, communicationReference_, bytes.byteArray);
    entry.requester = requester;
    entry.ownerId = requester ? ownerId : 0;
    entry.isDownload = isDownload;
    invokeId = entry.invokeId;
    const std::scoped_lock queueGuard(queueLock_);
    if (isFirst) {
        // Ahead of everything waiting, but behind the entry in flight, so
        // that one entry stays in flight and a repetition finds it in front.
        auto position = queue_.begin();
        while (position != queue_.end() && position->sent) ++position;
        queue_.insert(position, std::move(entry));
    } else {
        queue_.push_back(std::move(entry));
    }
    progress_.track(key);
    return true;
}

bool HartChannel::QueueTransfer(bool download, const std::string& invokeId,
                                const std::function<bool()>& queue) {
    bool queued = false;
    ++sendHolds_;
    try {
        queued = queue();
        if (queued) MarkTransfer(download, invokeId);
    } catch (...) {
        --sendHolds_;
        throw;
    }
    --sendHolds_;
    SendNext();
    return queued;
}

void HartChannel::SendNext() {
    if (channelState_ != kChannelOnline || blocked_ != 0 || sendHolds_ != 0 || !communication_)
        return;
    const std::scoped_lock queueGuard(queueLock_);
    for (Transaction& entry : queue_) {
        if (entry.sent) return;
        std::optional<std::string> request =
            withCommunicationReference(entry.request, communicationReference_);
        if (!request) continue;
        entry.sent = true;
        Transmit(entry.invokeId, *request);
        return;
    }
}

void HartChannel::Resend() {
    if (channelState_ != kChannelOnline || !communication_) return;
    const std::scoped_lock queueGuard(queueLock_);
    if (queue_.empty() || !queue_.front().sent) return;
    const Transaction& entry = queue_.front();
    if (std::optional<std::string> request =
            withCommunicationReference(entry.request, communicationReference_)) {
        Transmit(entry.invokeId, *request);
    }
}

void HartChannel::Transmit(const std::string& invokeId, const std::string& request) {
    // The frame may answer from inside the call and free the entry that
    // invokeId belongs to: nothing of it is read after the call.
    const com::ComPtr<IFdtCommunication> communication = communication_;
    const com::Bstr id = bstr(invokeId);
    const com::Bstr document = bstr(request);
    VARIANT_BOOL answer = VARIANT_FALSE;
    const HRESULT result = communication->TransactionRequest(id.get(), document.get(), &answer);
    if (accepted(result, answer)) return;
    blocked_ = -1;
    SendErrorMessage("Communication Error TransactionRequest failed");
    AbortAll();
}

void HartChannel::OnTransactionResponse(const std::string& invokeId, const std::string& response) {
    try {
        const ParsedResponse parsed = parseResponse(response, schemaCache_);
        if (!parsed.ok()) {
            ReportUnreadableResponse(parsed.error.reason);
            return;
        }
        HandleTransactionResponse(invokeId, parsed);
    } catch (...) {
        ReportFailure(std::current_exception());
    }
}

void HartChannel::HandleTransactionResponse(const std::string& invokeId,
                                            const ParsedResponse& parsed) {
    if (parsed.text("//fdt:CommunicationError/@communicationError")) {
        HandleCommunicationError(parsed);
        return;
    }
    if (parsed.document.selectSingleNode("//user:DataExchangeResponse").isNull()) return;
    const xml::Node status =
        parsed.document.selectSingleNode("//user:DataExchangeResponse/user:Status");
    if (status.isNull()) {
        ReportUnreadableResponse("DataExchangeResponse without Status");
        return;
    }
    if (const auto deviceStatus = status.getAttribute("deviceStatus");
        deviceStatus && deviceObject_ != nullptr) {
        deviceObject_->setWireValue(kDeviceStatusParameter, "", *deviceStatus);
    }
    if (const xml::Node communicationStatus = status.selectSingleNode("user:CommunicationStatus")) {
        SendErrorMessage(
            communicationStatusText(communicationStatus.getAttribute("value").value_or("")));
        AbortAll();
        ReportProgressIfActive();
        return;
    }
    if (const xml::Node commandResponse = status.selectSingleNode("user:CommandResponse")) {
        if (RepeatAfterResponseCode(commandResponse.getAttribute("value").value_or(""))) {
            Resend();
            return;
        }
    }
    if (const auto byteArray =
            parsed.text("//user:DataExchangeResponse/fdt:CommunicationData/@byteArray")) {
        std::string key;
        {
            const std::scoped_lock queueGuard(queueLock_);
            if (queue_.empty()) return;
            const Transaction* entry = FindTransaction(invokeId);
            if (entry != nullptr) key = entry->commandKey;
        }
        if (key.empty()) {
            SendNext();
            return;
        }
        if (deviceObject_ != nullptr)
            distributeReply(*deviceObject_, parseCommandKey(key), *byteArray);
    }
    Complete(invokeId);
    SendNext();
    ReportProgressIfActive();
}

void HartChannel::HandleCommunicationError(const ParsedResponse& parsed) {
    SendErrorMessage(communicationErrorText("Communication Error", parsed, "unknow"));
    AbortAll();
    ReportProgressIfActive();
    blocked_ = 1;
    Abort();
}

bool HartChannel::RepeatAfterResponseCode(const std::string& responseText) {
    if (deviceObject_ != nullptr)
        deviceObject_->setValue(kResponseCodeParameter, responseText, kDisplayMode);
    const std::string ignored = displayValue(deviceObject_, kIgnoredResponseCodesId);
    if (effectiveResponseCode(responseText, ignored) == 0) return false;
    if (dtmObject_ == nullptr) return false;
    return asksForRepeat(
        dtmObject_->messageBox(translate(responseCodeKey(responseText)), kMessageBoxRetryCancel));
}

void HartChannel::ReportUnreadableResponse(const std::string& reason) {
    SendErrorMessage(
        cutText("Communication Error: unreadable response.\nReason:" + reason, kMessageLimit));
}

void HartChannel::ReportFailure(const std::exception_ptr& failure) {
    std::string reason = "unknown failure";
    try {
        std::rethrow_exception(failure);
    } catch (const CDTMException& error) {
        reason = error.message();
    } catch (const std::exception& error) {
        reason = error.what();
    } catch (...) {
    }
    SendErrorMessage(cutText("Communication Error: " + reason, kMessageLimit));
}

void HartChannel::ReportProgressIfActive() {
    if (progress_.active()) ReportProgress();
}

}  // namespace engine::communication
