#include "frame/lines/master_line.h"

#include <algorithm>

#include "hart/identity.h"

namespace frame {
namespace {

constexpr hartdtm::loop::TimerId kReplyTimer = 1;

LineAnswer communicationError(std::string reason) {
    LineAnswer answer;
    answer.kind = LineAnswer::Kind::CommunicationError;
    answer.reason = std::move(reason);
    return answer;
}

}  // namespace

std::string communicationErrorText(std::uint8_t status) {
    static constexpr struct {
        std::uint8_t bit;
        const char* text;
    } kBits[] = {{0x40, "parity error"},   {0x20, "overrun error"},        {0x10, "framing error"},
                 {0x08, "checksum error"}, {0x02, "rx buffer overflow"}};
    std::string text;
    for (const auto& bit : kBits) {
        if ((status & bit.bit) == 0) continue;
        if (!text.empty()) text += ", ";
        text += bit.text;
    }
    return text.empty() ? "communication error" : text;
}

MasterLine::MasterLine(std::string name, std::unique_ptr<LinkTransport> transport,
                       MasterOptions options)
    : name_(std::move(name)), transport_(std::move(transport)), options_(options) {
    options_.tries = std::max(options_.tries, 1u);
    transport_->setHandlers({
        [this](hart::Frame reply) { onReply(std::move(reply)); },
        [this](std::string reason) {
            if (inFlight_) retryOrFail("refused reply: " + reason);
        },
        [this] {
            if (inFlight_) timer_.rearm(kReplyTimer, transport_->replyTimeout(0), [this] {
                retryOrFail("the reply stopped");
            });
        },
        [this](std::string reason) { onLost(std::move(reason)); },
    });
}

MasterLine::~MasterLine() {
    cancel();
    transport_->close();
}

LineTraits MasterLine::traits() const {
    LineTraits traits;
    traits.timedByFrame = false;
    return traits;
}

void MasterLine::later(std::function<void()> call) {
    const std::uint64_t generation = generation_;
    timer_.post([this, generation, call = std::move(call)] {
        if (generation == generation_) call();
    });
}

void MasterLine::whenOpen(std::function<void()> then, std::function<void(std::string)> fail) {
    if (transport_->isOpen()) {
        then();
        return;
    }
    const std::uint64_t generation = generation_;
    transport_->open([this, generation, then = std::move(then), fail = std::move(fail)](std::string error) {
        if (generation != generation_) return;
        if (error.empty()) {
            then();
        } else {
            later([fail, error] { fail(error); });
        }
    });
}

void MasterLine::connect(std::uint8_t shortAddress, ConnectDone done) {
    identify(shortAddress, options_.tries, std::move(done));
}

void MasterLine::probe(std::uint8_t shortAddress, ConnectDone done) {
    identify(shortAddress, 1, std::move(done));
}

void MasterLine::identify(std::uint8_t shortAddress, unsigned tries, ConnectDone done) {
    device_.reset();
    const auto fail = [done](std::string reason) {
        LineConnect result;
        result.reason = std::move(reason);
        done(std::move(result));
    };
    whenOpen(
        [this, shortAddress, tries, done, fail] {
            hart::Frame poll;
            poll.address = hart::Address::shortForm(shortAddress, options_.primaryMaster);
            poll.command = 0;
            start(std::move(poll), tries, [this, shortAddress, done, fail](Outcome outcome) {
                if (!outcome.reply) {
                    fail("no device answers at short address " + std::to_string(shortAddress) + ": " +
                         outcome.reason);
                    return;
                }
                if (outcome.reply->responseCode != 0) {
                    fail("command 0 at short address " + std::to_string(shortAddress) +
                         " answered response code " + std::to_string(outcome.reply->responseCode));
                    return;
                }
                const hart::IdentityRead identity = hart::decodeIdentity(outcome.reply->data);
                if (!identity) {
                    fail(identity.reason);
                    return;
                }
                device_ = identity.identity->longAddress(options_.primaryMaster);
                devicePreambles_ = identity.identity->requestPreambles;
                LineConnect result;
                result.answered = true;
                result.identity = outcome.reply->data;
                done(std::move(result));
            });
        },
        fail);
}

void MasterLine::send(std::uint8_t command, std::span<const std::uint8_t> request, AnswerDone done) {
    if (!device_) {
        later([done] { done(communicationError("no device connected on the line")); });
        return;
    }
    if (!transport_->isOpen()) {
        later([done, this] { done(communicationError(name_ + ": the connection is closed")); });
        return;
    }
    hart::Frame frame;
    frame.address = *device_;
    frame.command = command;
    frame.data.assign(request.begin(), request.end());
    start(std::move(frame), options_.tries, [done](Outcome outcome) {
        if (!outcome.reply) {
            done(communicationError(outcome.reason));
            return;
        }
        LineAnswer answer;
        answer.responseCode = outcome.reply->responseCode;
        answer.deviceStatus = outcome.reply->deviceStatus;
        answer.data = std::move(outcome.reply->data);
        done(std::move(answer));
    });
}

void MasterLine::disconnect() {
    cancel();
    device_.reset();
    transport_->close();
}

void MasterLine::cancel() {
    ++generation_;
    timer_.cancelAll();
    inFlight_.reset();
}

void MasterLine::start(hart::Frame request, unsigned tries, OutcomeDone done) {
    inFlight_ = InFlight{std::move(request), tries, tries, {}, std::move(done)};
    transmit();
}

void MasterLine::transmit() {
    InFlight& flight = *inFlight_;
    --flight.triesLeft;
    const unsigned preambles = std::max(options_.preambles, devicePreambles_);
    std::string error;
    const std::uint64_t before = transport_->counters().bytesSent;
    if (!transport_->send(flight.request, preambles, error)) {
        later([this, error] { finish({std::nullopt, error}); });
        return;
    }
    sentBytes_ = static_cast<std::size_t>(transport_->counters().bytesSent - before);
    timer_.rearm(kReplyTimer, transport_->replyTimeout(sentBytes_),
                 [this] { retryOrFail("no answer"); });
}

void MasterLine::retryOrFail(std::string problem) {
    if (!inFlight_) return;
    timer_.kill(kReplyTimer);
    inFlight_->lastProblem = problem;
    if (inFlight_->triesLeft > 0) {
        transmit();
        return;
    }
    const std::string target = inFlight_->request.address.text();
    const unsigned tries = inFlight_->tries;
    finish({std::nullopt, problem + " from " + target + " after " + std::to_string(tries) +
                              (tries == 1 ? " try" : " tries")});
}

void MasterLine::finish(Outcome outcome) {
    if (!inFlight_) return;
    timer_.kill(kReplyTimer);
    OutcomeDone done = std::move(inFlight_->done);
    inFlight_.reset();
    done(std::move(outcome));
}

void MasterLine::onReply(hart::Frame reply) {
    if (!inFlight_) return;
    const hart::Frame& request = inFlight_->request;
    // A reply to another master, another device or another command is not ours.
    if (!reply.address.sameDevice(request.address) || reply.command != request.command ||
        reply.address.primaryMaster != request.address.primaryMaster)
        return;
    if (reply.isCommunicationError()) {
        retryOrFail("the device reports " + communicationErrorText(reply.responseCode));
        return;
    }
    finish({std::move(reply), {}});
}

void MasterLine::onLost(std::string reason) {
    device_.reset();
    if (inFlight_) finish({std::nullopt, reason});
}

}  // namespace frame
