// The master line over a scripted medium, on the virtual clock: addressing,
// retries and their timing, communication errors, a lost session, and
// answers that always come later on the loop.

#include <gtest/gtest.h>

#include <deque>

#include "frame/lines/master_line.h"
#include "platform/loop/virtual_clock_loop.h"

namespace {

using Ms = std::chrono::milliseconds;
using Bytes = std::vector<std::uint8_t>;

const Bytes kIdentity = {254, 0x2B, 0x21, 5, 5, 1, 3, 0, 0, 0x01, 0xD6, 0x61};
const hart::Address kLong = hart::Address::longForm({0x2B, 0x21, 0x01, 0xD6, 0x61});

// A medium whose replies the test gives; every request is recorded.
class ScriptedMedium final : public frame::LinkTransport {
public:
    std::string name() const override { return "scripted"; }
    bool isOpen() const override { return open_; }
    void open(OpenDone done) override {
        ++opens;
        open_ = openError.empty();
        done(openError);
    }
    bool send(const hart::Frame& request, unsigned preambles, std::string&) override {
        sent.push_back(request);
        sentPreambles = preambles;
        counters_.bytesSent += 10;
        return true;
    }
    Ms replyTimeout(std::size_t) const override { return Ms{300}; }
    void close() override { open_ = false; }

    void reply(std::uint8_t code, Bytes data = {}, std::uint8_t status = 0) {
        hart::Frame frame = sent.back();
        frame.type = hart::FrameType::Reply;
        frame.responseCode = code;
        frame.deviceStatus = status;
        frame.data = std::move(data);
        handlers_.reply(frame);
    }
    void lose(const std::string& reason) {
        open_ = false;
        handlers_.lost(reason);
    }

    std::vector<hart::Frame> sent;
    unsigned sentPreambles = 0;
    std::string openError;
    int opens = 0;

private:
    bool open_ = false;
};

class MasterLineTest : public ::testing::Test {
protected:
    MasterLineTest() : scope(loop) {
        auto owned = std::make_unique<ScriptedMedium>();
        medium = owned.get();
        line = std::make_unique<frame::MasterLine>("test", std::move(owned), frame::MasterOptions{});
    }
    void connect() {
        line->connect(0, [this](frame::LineConnect result) { connected = result; });
        loop.runUntilIdle();
        medium->reply(0, kIdentity);
        loop.runUntilIdle();
        ASSERT_TRUE(connected && connected->answered) << (connected ? connected->reason : "no answer");
    }
    void send(std::uint8_t command) {
        answer.reset();
        line->send(command, Bytes{}, [this](frame::LineAnswer a) { answer = std::move(a); });
    }

    hartdtm::loop::VirtualClockLoop loop;
    hartdtm::loop::CurrentLoopScope scope;
    ScriptedMedium* medium = nullptr;
    std::unique_ptr<frame::MasterLine> line;
    std::optional<frame::LineConnect> connected;
    std::optional<frame::LineAnswer> answer;
};

TEST_F(MasterLineTest, ConnectPollsShortThenTalksLongAndPassesResponseCodes) {
    connect();
    ASSERT_EQ(medium->sent.size(), 1u);
    EXPECT_FALSE(medium->sent[0].address.isLong);
    EXPECT_EQ(medium->sent[0].command, 0);
    EXPECT_EQ(connected->identity, kIdentity);
    send(48);
    ASSERT_EQ(medium->sent.size(), 2u);
    EXPECT_TRUE(medium->sent[1].address.sameDevice(kLong));
    EXPECT_TRUE(medium->sent[1].address.primaryMaster);
    medium->reply(32, {}, 0x10);  // busy passes through as it came
    loop.runUntilIdle();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->kind, frame::LineAnswer::Kind::Reply);
    EXPECT_EQ(answer->responseCode, 32);
    EXPECT_EQ(answer->deviceStatus, 0x10);
}

TEST_F(MasterLineTest, SilenceIsRetriedThreeTimesThenACommunicationError) {
    connect();
    send(1);
    loop.advance(Ms{299});
    EXPECT_EQ(medium->sent.size(), 2u);
    loop.advance(Ms{1});
    EXPECT_EQ(medium->sent.size(), 3u) << "the second try goes out after the reply timeout";
    loop.advance(Ms{599});
    EXPECT_FALSE(answer);
    loop.advance(Ms{1});
    ASSERT_TRUE(answer);
    EXPECT_EQ(medium->sent.size(), 4u);
    EXPECT_EQ(answer->kind, frame::LineAnswer::Kind::CommunicationError);
    EXPECT_EQ(answer->reason, "no answer from long address 2B2101D661 after 3 tries");
}

TEST_F(MasterLineTest, CommunicationErrorByteIsRetriedAndStrangersIgnored) {
    connect();
    send(1);
    medium->reply(0xC8);  // parity and checksum error in the request
    EXPECT_EQ(medium->sent.size(), 3u);
    hart::Frame other = medium->sent.back();
    other.type = hart::FrameType::Reply;
    other.command = 2;  // a reply to another command is not ours
    medium->reply(0xC8);
    medium->reply(0xC8);
    loop.runUntilIdle();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->kind, frame::LineAnswer::Kind::CommunicationError);
    EXPECT_EQ(answer->reason,
              "the device reports parity error, checksum error from long address 2B2101D661 after 3 tries");
}

TEST_F(MasterLineTest, LostSessionFailsAtOnceAndOpensAfreshOnConnect) {
    connect();
    send(3);
    medium->lose("the server closed the session");
    loop.runUntilIdle();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->kind, frame::LineAnswer::Kind::CommunicationError);
    EXPECT_EQ(answer->reason, "the server closed the session");
    send(3);
    loop.runUntilIdle();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->kind, frame::LineAnswer::Kind::CommunicationError);
    connected.reset();
    connect();
    EXPECT_EQ(medium->opens, 2);
}

TEST_F(MasterLineTest, CancelDropsTheAnswerAndOpenFailureIsTheReason) {
    connect();
    send(1);
    line->cancel();
    loop.advance(Ms{5000});
    EXPECT_FALSE(answer);

    medium->close();
    medium->openError = "cannot connect to 127.0.0.1:5094: Connection refused";
    connected.reset();
    line->connect(0, [this](frame::LineConnect result) { connected = result; });
    loop.runUntilIdle();
    ASSERT_TRUE(connected);
    EXPECT_FALSE(connected->answered);
    EXPECT_EQ(connected->reason, "cannot connect to 127.0.0.1:5094: Connection refused");
}

}  // namespace
