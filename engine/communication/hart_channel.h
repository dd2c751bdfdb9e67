#pragma once

#include <exception>
#include <functional>
#include <string>
#include <string_view>

#include "engine/communication/action_script.h"
#include "engine/communication/communication_channel.h"

namespace engine::communication {

struct ParsedResponse;

// The channel to a HART device through the frame's FDT HART communication
// interface: the connect and disconnect documents, one DataExchangeRequest in
// flight at a time, the answers decoded into the parameter model, response
// codes offered for repetition, and communication errors ending the queue.
class HartChannel : public CommunicationChannel {
public:
    HartChannel() = default;

    void OnTimer() override;
    bool QueueCommands(IDispatch* requester, std::string_view element) override;
    void OnConnectResponse(const std::string& invokeId, const std::string& response) override;
    void OnDisconnectResponse(const std::string& invokeId, const std::string& response) override;
    void OnTransactionResponse(const std::string& invokeId, const std::string& response) override;
    void RequestConnect() override;
    void Disconnect() override;
    void Abort() override;

    // Sends the first entry not yet sent, unless one is in flight, the channel
    // is not online, sending is blocked or held back by QueueTransfer.
    void SendNext();
    // Runs queue (true when it queued something) with sending held back,
    // then marks the frame's upload or download under invokeId on the entry
    // at the back of the queue (only when queue answered true) and sends. A
    // frame that answers from inside TransactionRequest completes every entry
    // while it is sent, so the mark must be in place before the first one
    // goes out. Returns what queue answered; its exceptions reach the caller.
    bool QueueTransfer(bool download, const std::string& invokeId, const std::function<bool()>& queue);
    // Sends the entry in flight again under the same invoke id.
    void Resend();

    // Runs an action script for requester (may be null): setvalue elements
    // at once, upload and download elements queued. Exceptions of the model
    // or the platform end the script and reach the caller.
    void RunScript(std::string_view script, IDispatch* requester);

private:
    class ScriptRunner;

    // Builds and queues one command; false when a parameter of its request
    // is inconsistent (the message was shown). invokeId receives the entry's id.
    bool QueueCommand(const CommandReference& command, const com::ComPtr<IObserver>& requester,
                      int32_t ownerId, bool isDownload, bool isFirst, std::string& invokeId);
    void SendConnectRequest();
    // A disconnect that waited for a connect which failed is dropped, and
    // the frame hears that the communication may be released.
    void DropPendingDisconnect();
    // TransactionRequest for an entry; a refusal blocks the channel and
    // aborts the queue.
    void Transmit(const std::string& invokeId, const std::string& request);
    // The response-code check; true when the user asked for a repetition.
    bool RepeatAfterResponseCode(const std::string& responseText);
    void HandleTransactionResponse(const std::string& invokeId, const ParsedResponse& parsed);
    void HandleCommunicationError(const ParsedResponse& parsed);
    // The message for a response that is not a readable FDT document.
    void ReportUnreadableResponse(const std::string& reason);
    // An unexpected exception inside a frame answer or the timer: reported
    // to the frame as an error message, never rethrown.
    void ReportFailure(const std::exception_ptr& failure);
    void ReportProgressIfActive();

    // QueueTransfer calls under way; nothing is sent while it is not 0.
    int sendHolds_ = 0;
};

}  // namespace engine::communication
