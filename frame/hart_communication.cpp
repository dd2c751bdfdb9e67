#include "frame/hart_communication.h"

#include "frame/frame_ids.h"

namespace frame {
namespace {

constexpr hartdtm::loop::TimerId kLineTimer = 1;

bool take(unsigned& count) {
    if (count == 0) return false;
    --count;
    return true;
}

HRESULT answerAccepted(VARIANT_BOOL* accepted, bool value) {
    *accepted = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

}  // namespace

FrameCommunication::FrameCommunication(HartBackend& backend, CommunicationSettings settings)
    : backend_(&backend), settings_(settings) {}

FrameCommunication::~FrameCommunication() {
    timer_.cancelAll();
    if (backend_) backend_->cancel();
}

void FrameCommunication::trace(const std::string& line) const {
    if (trace_) trace_(line);
}

HRESULT FrameCommunication::Abort(BSTR) {
    trace("line abort " + (reference_.empty() ? std::string("(no connection)") : reference_));
    shutdown();
    return S_OK;
}

void FrameCommunication::shutdown() {
    timer_.cancelAll();
    if (backend_) backend_->cancel();
    queue_.clear();
    lineBusy_ = false;
    connectPending_ = false;
    connected_ = false;
    callback_.reset();
}

HRESULT FrameCommunication::ConnectRequest(IFdtCommunicationEvents* callback, BSTR invokeId,
                                           BSTR protocolId, BSTR request, VARIANT_BOOL* accepted) {
    if (!accepted) return E_POINTER;
    *accepted = VARIANT_FALSE;
    if (!callback || !backend_) return S_OK;
    if (com::toUtf8(protocolId) != idl::fdt::kHartProtocolId) {
        trace("line refuses connect: protocol " + com::toUtf8(protocolId) + " is not HART");
        return S_OK;
    }
    RequestRead<ConnectRequestInfo> read = readConnectRequest(com::toUtf8(request));
    if (!read.request) {
        trace("line refuses connect: " + read.error);
        return S_OK;
    }
    if (connected_ || connectPending_) {
        trace("line refuses connect: a connection exists");
        return S_OK;
    }
    if (take(faults_.refuseConnect)) {
        trace("line refuses connect (programmed)");
        return S_OK;
    }
    callback_ = com::ComPtr<IFdtCommunicationEvents>(callback);
    connectPending_ = true;
    trace("line > connect tag=" + read.request->tag +
          " address=" + std::to_string(read.request->shortAddress));
    enqueue({RequestKind::Connect, com::toUtf8(invokeId), *read.request, {}, {}});
    return answerAccepted(accepted, true);
}

HRESULT FrameCommunication::DisconnectRequest(BSTR invokeId, BSTR request, VARIANT_BOOL* accepted) {
    if (!accepted) return E_POINTER;
    *accepted = VARIANT_FALSE;
    RequestRead<DisconnectRequestInfo> read = readDisconnectRequest(com::toUtf8(request));
    if (!read.request || !callback_) {
        trace("line refuses disconnect: " +
              (read.request ? std::string("no connection") : read.error));
        return S_OK;
    }
    if (take(faults_.refuseDisconnect)) {
        trace("line refuses disconnect (programmed)");
        return S_OK;
    }
    trace("line > disconnect " + read.request->communicationReference);
    enqueue({RequestKind::Disconnect, com::toUtf8(invokeId), {}, *read.request, {}});
    return answerAccepted(accepted, true);
}

HRESULT FrameCommunication::TransactionRequest(BSTR invokeId, BSTR request,
                                               VARIANT_BOOL* accepted) {
    if (!accepted) return E_POINTER;
    *accepted = VARIANT_FALSE;
    RequestRead<DataExchangeRequestInfo> read = readDataExchangeRequest(com::toUtf8(request));
    if (!read.request) {
        trace("line refuses transaction: " + read.error);
        return S_OK;
    }
    if (!callback_ || read.request->data.size() > backend_->traits().maxRequestBytes) {
        trace("line refuses transaction: " +
              std::string(callback_ ? "request data too long" : "no connection"));
        return S_OK;
    }
    if (take(faults_.refuseTransaction)) {
        trace("line refuses transaction (programmed)");
        return S_OK;
    }
    trace("line > command " + std::to_string(read.request->commandNumber) +
          " data=" + hexText(read.request->data));
    enqueue({RequestKind::Transaction, com::toUtf8(invokeId), {}, {}, *read.request});
    return answerAccepted(accepted, true);
}

void FrameCommunication::enqueue(Pending request) {
    queue_.push_back(std::move(request));
    startNext();
}

void FrameCommunication::startNext() {
    if (lineBusy_ || queue_.empty()) return;
    lineBusy_ = true;
    if (!backend_->traits().timedByFrame) {
        // A real line answers when the wire does; the request goes out from the loop.
        timer_.post([this] { onAnswerDue(); });
        return;
    }
    if (settings_.latency <= std::chrono::milliseconds{0}) {
        onAnswerDue();
        return;
    }
    timer_.arm(kLineTimer, settings_.latency, [this] { onAnswerDue(); });
}

void FrameCommunication::onAnswerDue() {
    // The answer may make the DTM drop its last reference to this object.
    const com::ComPtr<IFdtCommunication> keepAlive(this);
    const Pending request = queue_.front();
    switch (request.kind) {
        case RequestKind::Connect:
            answerConnect(request);
            break;
        case RequestKind::Disconnect:
            answerDisconnect(request);
            break;
        case RequestKind::Transaction:
            answerTransaction(request);
            break;
    }
}

void FrameCommunication::answerConnect(const Pending& request) {
    const Pending taken = request;
    backend_->connect(request.connect.shortAddress, [this, taken](LineConnect result) {
        const com::ComPtr<IFdtCommunication> keepAlive(this);
        onConnectAnswer(taken, std::move(result));
    });
}

void FrameCommunication::onConnectAnswer(const Pending& request, LineConnect result) {
    const std::string id = request.invokeId;
    if (result.answered) {
        connectPending_ = false;
        connected_ = true;
        reference_ = sequentialId(IdKind::communicationReference, ++connections_);
        tag_ = request.connect.tag;
        trace("line < connected " + reference_);
        const std::string answer = connectResponseDocument(reference_);
        finish(
            [&](IFdtCommunicationEvents& events) {
                events.OnConnectResponse(com::Bstr::fromUtf8(id).get(),
                                         com::Bstr::fromUtf8(answer).get());
            },
            false);
        return;
    }
    const std::string reason = result.reason;
    const std::string answer = connectErrorDocument(reason, request.connect.tag);
    answerAfterSilence([this, id, reason, answer] {
        connectPending_ = false;
        trace("line < connect failed: " + reason);
        finish(
            [&](IFdtCommunicationEvents& events) {
                events.OnConnectResponse(com::Bstr::fromUtf8(id).get(),
                                         com::Bstr::fromUtf8(answer).get());
            },
            true);
    });
}

void FrameCommunication::answerDisconnect(const Pending& request) {
    const std::string& reference = request.disconnect.communicationReference;
    const bool ours = connected_ && reference == reference_;
    std::string answer;
    if (ours) {
        connected_ = false;
        backend_->disconnect();
        answer = disconnectResponseDocument(reference);
        trace("line < disconnected " + reference);
    } else {
        const std::string reason = "unknown communication reference '" + reference + "'";
        answer = disconnectErrorDocument(reason, tag_);
        trace("line < disconnect failed: " + reason);
    }
    finish(
        [&](IFdtCommunicationEvents& events) {
            events.OnDisconnectResponse(com::Bstr::fromUtf8(request.invokeId).get(),
                                        com::Bstr::fromUtf8(answer).get());
        },
        ours);
}

void FrameCommunication::answerTransaction(const Pending& request) {
    const DataExchangeRequestInfo& exchange = request.exchange;
    const std::string id = request.invokeId;
    const auto respond = [this, id](const std::string& answer) {
        finish(
            [&](IFdtCommunicationEvents& events) {
                events.OnTransactionResponse(com::Bstr::fromUtf8(id).get(),
                                             com::Bstr::fromUtf8(answer).get());
            },
            false);
    };
    if (!connected_ || exchange.communicationReference != reference_) {
        const std::string reason =
            "unknown communication reference '" + exchange.communicationReference + "'";
        trace("line < command " + std::to_string(exchange.commandNumber) + " refused: " + reason);
        respond(communicationErrorDocument(reason, tag_));
        return;
    }
    backend_->send(exchange.commandNumber, exchange.data, [this, exchange, respond](LineAnswer answer) {
        const com::ComPtr<IFdtCommunication> keepAlive(this);
        onTransactionAnswer(exchange, std::move(answer), respond);
    });
}

void FrameCommunication::onTransactionAnswer(const DataExchangeRequestInfo& exchange, LineAnswer answer,
                                             const std::function<void(const std::string&)>& respond) {
    if (answer.kind == LineAnswer::Kind::Reply && take(faults_.dropAnswers)) {
        answer.kind = LineAnswer::Kind::NoAnswer;
    }
    const std::string command = std::to_string(exchange.commandNumber);
    switch (answer.kind) {
        case LineAnswer::Kind::Reply:
            trace("line < command " + command + " rc=" + std::to_string(answer.responseCode) +
                  " status=" + hexText({answer.deviceStatus}) + " data=" + hexText(answer.data));
            respond(dataExchangeResponseDocument(reference_, exchange.commandNumber, answer));
            return;
        case LineAnswer::Kind::CommunicationError:
            trace("line < command " + command + " communication error: " + answer.reason);
            respond(communicationErrorDocument(answer.reason, tag_));
            return;
        case LineAnswer::Kind::NoAnswer:
            break;
    }
    const std::string reason = !answer.reason.empty()
                                   ? answer.reason
                                   : "no response from the device within " +
                                         std::to_string(settings_.responseTimeout.count()) + " ms";
    answerAfterSilence([this, command, reason, respond] {
        trace("line < command " + command + ": " + reason);
        respond(communicationErrorDocument(reason, tag_));
    });
}

void FrameCommunication::answerAfterSilence(std::function<void()> answer) {
    // A real line has waited out the silence on the wire already.
    if (!backend_->traits().timedByFrame) {
        answer();
        return;
    }
    const auto rest = settings_.responseTimeout - settings_.latency;
    if (rest <= std::chrono::milliseconds{0}) {
        answer();
        return;
    }
    timer_.arm(kLineTimer, rest, [this, answer = std::move(answer)] {
        const com::ComPtr<IFdtCommunication> keepAlive(this);
        answer();
    });
}

void FrameCommunication::finish(const std::function<void(IFdtCommunicationEvents&)>& call,
                                bool releaseCallback) {
    queue_.pop_front();
    lineBusy_ = false;
    const com::ComPtr<IFdtCommunicationEvents> callback = callback_;
    if (releaseCallback) callback_.reset();
    // The answer goes first: on a synchronous line the next request would
    // otherwise be answered before this one.
    if (callback) call(*callback.get());
    startNext();
}

}  // namespace frame
