#pragma once
// The frame's HART communication interface. Requests are accepted at once
// and answered later on the apartment loop, through the IFdtCommunicationEvents
// given with the connect request: the line carries one request at a time, in
// the order they came, each answered `latency` after it was taken on the line.
// With a latency of 0 the line is synchronous: a request that finds the line
// free is answered from inside the call that made it.
// A device that stays silent is answered, `responseTimeout` after the request
// was taken, with a communication error document, so no transfer hangs.

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>

#include "frame/hart_backend.h"
#include "frame/hart_documents.h"
#include "idl/fdt_frame.h"
#include "platform/com/object.h"
#include "platform/com/no_late_binding.h"
#include "platform/loop/timer_host.h"

namespace frame {

struct CommunicationSettings {
    std::chrono::milliseconds latency{5};  // 0: answered inside the request's call
    std::chrono::milliseconds responseTimeout{1000};
};

// Failures of the frame itself, programmed to try a DTM's handling of them.
// Each count is used up by one request of its kind.
struct LineFaults {
    unsigned refuseConnect = 0;      // ConnectRequest answers FALSE
    unsigned refuseDisconnect = 0;   // DisconnectRequest answers FALSE
    unsigned refuseTransaction = 0;  // TransactionRequest answers FALSE
    unsigned dropAnswers = 0;        // the device's answer is lost on the line
};

class FrameCommunication : public com::ComObjectRoot, public com::NoLateBinding<IFdtCommunication> {
public:
    // Called with one line per request taken and answer given; for tracing.
    using Trace = std::function<void(const std::string& line)>;

    // The backend is not owned: it must outlive this object or its shutdown().
    FrameCommunication(HartBackend& backend, CommunicationSettings settings);
    ~FrameCommunication() override;

    static std::span<const com::InterfaceEntry> interfaces() {
        static constexpr com::InterfaceEntry table[] = {
            com::entry<FrameCommunication, IFdtCommunication>(),
            com::entryAs<FrameCommunication, IFdtCommunication>(IDispatch::iid),
        };
        return table;
    }

    // The frame's objects are called through their vtables only.

    // Drops the connection and every answer not yet given; the callback is
    // released. No answer follows.
    HRESULT Abort(BSTR abortRequest) override;
    // FALSE for another protocol, a request that cannot be read, a connection
    // that exists or is on its way, or a programmed refusal. Answered with a
    // ConnectResponse carrying a fresh reference, or with a communication
    // error inside it when no device answers at the short address.
    HRESULT ConnectRequest(IFdtCommunicationEvents* callback, BSTR invokeId, BSTR protocolId,
                           BSTR request, VARIANT_BOOL* accepted) override;
    // FALSE for a request that cannot be read or a programmed refusal. A
    // reference that is not the open connection's is answered with an error.
    HRESULT DisconnectRequest(BSTR invokeId, BSTR request, VARIANT_BOOL* accepted) override;
    // FALSE for a request that cannot be read, data longer than the line
    // takes, no callback to answer through, or a programmed refusal. A
    // reference that is not the open connection's is answered with a
    // communication error.
    HRESULT TransactionRequest(BSTR invokeId, BSTR request, VARIANT_BOOL* accepted) override;

    LineFaults& faults() { return faults_; }
    void setTrace(Trace trace) { trace_ = std::move(trace); }
    bool connected() const { return connected_; }
    const std::string& communicationReference() const { return reference_; }
    // Requests accepted and not answered yet.
    std::size_t pendingRequests() const { return queue_.size(); }

    // Ends everything without answering: the connection, pending requests and
    // the callback (which breaks the reference cycle with a DTM that still
    // holds this interface).
    void shutdown();

private:
    enum class RequestKind { Connect, Disconnect, Transaction };
    struct Pending {
        RequestKind kind;
        std::string invokeId;
        ConnectRequestInfo connect;
        DisconnectRequestInfo disconnect;
        DataExchangeRequestInfo exchange;
    };

    void enqueue(Pending request);
    // Takes the next request on the line when the line is free.
    void startNext();
    // The request on the line is due for its answer.
    void onAnswerDue();
    void answerConnect(const Pending& request);
    void answerDisconnect(const Pending& request);
    void answerTransaction(const Pending& request);
    // The line's answers, on the apartment loop (or inside the call for a synchronous line).
    void onConnectAnswer(const Pending& request, LineConnect result);
    void onTransactionAnswer(const DataExchangeRequestInfo& exchange, LineAnswer answer,
                             const std::function<void(const std::string&)>& respond);
    // Answers after the rest of the response timeout: the device stayed silent.
    void answerAfterSilence(std::function<void()> answer);
    // Ends the request on the line and calls `call` on the callback.
    void finish(const std::function<void(IFdtCommunicationEvents&)>& call, bool releaseCallback);
    void trace(const std::string& line) const;

    HartBackend* backend_;
    CommunicationSettings settings_;
    LineFaults faults_;
    Trace trace_;
    hartdtm::loop::TimerHost timer_;
    com::ComPtr<IFdtCommunicationEvents> callback_;
    std::deque<Pending> queue_;  // front: the request on the line when lineBusy_
    bool lineBusy_ = false;
    bool connectPending_ = false;
    bool connected_ = false;
    std::string reference_;
    std::string tag_;
    std::uint64_t connections_ = 0;
};

}  // namespace frame
