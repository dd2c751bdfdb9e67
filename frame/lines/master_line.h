#pragma once
// A HART master on a real medium: connect polls the short address with
// command 0 in a short frame and keeps the device's long address; every later
// command goes in a long frame to it. A request that gets no answer, a
// refused reply or a reply whose first status byte reports a communication
// error is sent again, up to `tries` times, and then answered as a
// communication error. Response codes (busy included) pass through as they
// came. Answers are delivered on the apartment loop, never inside the call.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "frame/hart_backend.h"
#include "frame/lines/link_transport.h"
#include "hart/frame.h"
#include "platform/loop/timer_host.h"

namespace frame {

struct MasterOptions {
    unsigned tries = 3;             // sends of one request before it fails
    bool primaryMaster = true;
    unsigned preambles = 5;         // at least; a device that asks for more gets more
};

class MasterLine final : public HartBackend {
public:
    MasterLine(std::string name, std::unique_ptr<LinkTransport> transport, MasterOptions options);
    ~MasterLine() override;

    std::string name() const override { return name_; }
    LineTraits traits() const override;
    void connect(std::uint8_t shortAddress, ConnectDone done) override;
    void probe(std::uint8_t shortAddress, ConnectDone done) override;
    void send(std::uint8_t command, std::span<const std::uint8_t> request, AnswerDone done) override;
    void disconnect() override;
    void cancel() override;

    const WireCounters& counters() const { return transport_->counters(); }
    // The address later commands go to; nullopt before a connect found a device.
    const std::optional<hart::Address>& deviceAddress() const { return device_; }

private:
    struct Outcome {
        std::optional<hart::Frame> reply;
        std::string reason;  // when there is no reply
    };
    using OutcomeDone = std::function<void(Outcome)>;
    struct InFlight {
        hart::Frame request;
        unsigned tries;
        unsigned triesLeft;
        std::string lastProblem;
        OutcomeDone done;
    };

    // Opens the medium when needed, then runs `then` (or fails with the reason).
    void whenOpen(std::function<void()> then, std::function<void(std::string)> fail);
    void identify(std::uint8_t shortAddress, unsigned tries, ConnectDone done);
    void start(hart::Frame request, unsigned tries, OutcomeDone done);
    void transmit();
    void retryOrFail(std::string problem);
    void finish(Outcome outcome);
    void onReply(hart::Frame reply);
    void onLost(std::string reason);
    // Delivers later on the loop, unless cancel() comes first.
    void later(std::function<void()> call);

    std::string name_;
    std::unique_ptr<LinkTransport> transport_;
    MasterOptions options_;
    hartdtm::loop::TimerHost timer_;
    std::optional<InFlight> inFlight_;
    std::optional<hart::Address> device_;
    unsigned devicePreambles_ = 0;
    std::uint64_t generation_ = 0;  // bumped by cancel(): late callbacks see a new one
    std::size_t sentBytes_ = 0;
};

// The text of a communication-error byte's bits ("parity error, checksum error").
std::string communicationErrorText(std::uint8_t status);

}  // namespace frame
