// Frames byte for byte: encoding, decoding and the stream reader's
// resynchronisation and refusals.

#include <gtest/gtest.h>

#include "hart/frame.h"
#include "hart/frame_reader.h"
#include "hart/timing.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

const hart::Address kDevice = hart::Address::longForm({0x26, 0x06, 0x12, 0x34, 0x56});

hart::Frame request(hart::Address address, std::uint8_t command, Bytes data = {}) {
    hart::Frame frame;
    frame.address = address;
    frame.command = command;
    frame.data = std::move(data);
    return frame;
}

hart::Frame reply(std::uint8_t command, std::uint8_t code, std::uint8_t status, Bytes data = {}) {
    hart::Frame frame = request(kDevice, command, std::move(data));
    frame.type = hart::FrameType::Reply;
    frame.responseCode = code;
    frame.deviceStatus = status;
    return frame;
}

struct FrameCase {
    const char* name;
    hart::Frame frame;
    Bytes bytes;  // delimiter to check byte
};

class FrameBytes : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameBytes, EncodeAndDecodeAgree) {
    const FrameCase& c = GetParam();
    const auto encoded = hart::encodeFrame(c.frame);
    ASSERT_TRUE(encoded);
    EXPECT_EQ(*encoded, c.bytes);
    const hart::FrameRead read = hart::decodeFrame(c.bytes);
    ASSERT_TRUE(read) << read.reason;
    EXPECT_EQ(read.frame->type, c.frame.type);
    EXPECT_TRUE(read.frame->address.sameDevice(c.frame.address));
    EXPECT_EQ(read.frame->address.primaryMaster, c.frame.address.primaryMaster);
    EXPECT_EQ(read.frame->command, c.frame.command);
    EXPECT_EQ(read.frame->responseCode, c.frame.responseCode);
    EXPECT_EQ(read.frame->deviceStatus, c.frame.deviceStatus);
    EXPECT_EQ(read.frame->data, c.frame.data);
}

INSTANTIATE_TEST_SUITE_P(
    PublishedExamples, FrameBytes,
    ::testing::Values(
        FrameCase{"command0_short_primary", request(hart::Address::shortForm(0), 0), {0x02, 0x80, 0x00, 0x00, 0x82}},
        FrameCase{"command0_short_secondary_address5", request(hart::Address::shortForm(5, false), 0),
                  {0x02, 0x05, 0x00, 0x00, 0x07}},
        FrameCase{"command1_long", request(kDevice, 1), {0x82, 0xA6, 0x06, 0x12, 0x34, 0x56, 0x01, 0x00, 0x53}},
        FrameCase{"reply_with_data", reply(1, 0, 0x40, {0x27, 0x41, 0x20, 0x00, 0x00}),
                  {0x86, 0xA6, 0x06, 0x12, 0x34, 0x56, 0x01, 0x07, 0x00, 0x40, 0x27, 0x41, 0x20, 0x00, 0x00, 0x56}},
        FrameCase{"reply_without_data", reply(38, 64, 0x00),
                  {0x86, 0xA6, 0x06, 0x12, 0x34, 0x56, 0x26, 0x02, 0x40, 0x00, 0x32}},
        FrameCase{"communication_error_reply", reply(1, 0x88, 0x00),
                  {0x86, 0xA6, 0x06, 0x12, 0x34, 0x56, 0x01, 0x02, 0x88, 0x00, 0xDD}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(FrameEncoding, PreamblesAreClampedAndDataIsBounded) {
    const auto five = hart::encodeWithPreambles(request(hart::Address::shortForm(0), 0), 2);
    ASSERT_TRUE(five);
    EXPECT_EQ(std::count(five->begin(), five->end(), 0xFF), 5);
    EXPECT_EQ(hart::encodeWithPreambles(request(hart::Address::shortForm(0), 0), 30)->size(), 20u + 5u);
    EXPECT_TRUE(hart::encodeFrame(request(kDevice, 1, Bytes(255))));
    EXPECT_FALSE(hart::encodeFrame(request(kDevice, 1, Bytes(256))));
    EXPECT_TRUE(hart::encodeFrame(reply(1, 0, 0, Bytes(253))));
    EXPECT_FALSE(hart::encodeFrame(reply(1, 0, 0, Bytes(254)))) << "a reply's count includes its status bytes";
}

TEST(FrameDecoding, RefusesWithReasons) {
    struct Case {
        Bytes bytes;
        hart::FrameError error;
    } cases[] = {
        {{0x82, 0xA6, 0x06, 0x12, 0x34, 0x56, 0x01, 0x00, 0x54}, hart::FrameError::BadCheckByte},
        {{0x82, 0xA6, 0x06, 0x12, 0x34, 0x56, 0x01, 0x01}, hart::FrameError::Truncated},
        {{0x86, 0xA6, 0x06, 0x12, 0x34, 0x56, 0x01, 0x01, 0x00, 0x56}, hart::FrameError::BadByteCount},
        {{0x82, 0xA6, 0x06, 0x12, 0x34, 0x56, 0x01, 0x00, 0x53, 0x00}, hart::FrameError::BadByteCount},
        {{0x03, 0x80, 0x00, 0x00, 0x83}, hart::FrameError::BadDelimiter},
        {{0x0A, 0x80, 0x00, 0x00, 0x8A}, hart::FrameError::BadDelimiter},
    };
    for (const Case& c : cases) {
        const hart::FrameRead read = hart::decodeFrame(c.bytes);
        EXPECT_FALSE(read);
        EXPECT_EQ(read.error, c.error) << read.reason;
        EXPECT_FALSE(read.reason.empty());
    }
}

Bytes withPreambles(Bytes frame, int count = 5) {
    frame.insert(frame.begin(), static_cast<std::size_t>(count), 0xFF);
    return frame;
}

TEST(FrameReader, ResynchronisesSkipsBurstsAndRefusesStrangers) {
    const Bytes good = *hart::encodeFrame(reply(1, 0, 0x40, {0x27, 0x41, 0x20, 0x00, 0x00}));
    hart::Frame burst = reply(1, 0, 0);
    burst.type = hart::FrameType::Burst;
    hart::Frame stranger = reply(1, 0, 0);
    stranger.address = hart::Address::longForm({0x26, 0x06, 0x00, 0x00, 0x01});
    Bytes bad = good;
    bad.back() ^= 0x01;

    Bytes stream = {0x12, 0x34, 0xFF, 0x00};  // noise, and a lone preamble before a byte
    for (const Bytes& part : {withPreambles(*hart::encodeFrame(burst)), withPreambles(bad),
                              withPreambles(*hart::encodeFrame(stranger)), withPreambles(good, 2)})
        stream.insert(stream.end(), part.begin(), part.end());

    hart::FrameReader reader(hart::FrameType::Reply,
                             [](const hart::Address& address) { return address.sameDevice(kDevice); });
    std::vector<hart::ReaderEvent> events;
    // One byte at a time, as a slow line delivers them.
    for (const std::uint8_t byte : stream) {
        for (hart::ReaderEvent& event : reader.feed(Bytes{byte})) events.push_back(std::move(event));
    }
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].kind, hart::ReaderEvent::Kind::Refused);
    EXPECT_EQ(events[0].error, hart::FrameError::BadCheckByte);
    EXPECT_EQ(events[1].kind, hart::ReaderEvent::Kind::Refused);
    EXPECT_NE(events[1].reason.find("not ours"), std::string::npos);
    EXPECT_EQ(events[2].kind, hart::ReaderEvent::Kind::Frame);
    EXPECT_EQ(events[2].frame.data, (Bytes{0x27, 0x41, 0x20, 0x00, 0x00}));
    EXPECT_EQ(events[2].preambles, 2u);
    EXPECT_EQ(reader.burstFramesSkipped(), 1u);
    EXPECT_FALSE(reader.insideFrame());
}

TEST(FrameReader, MasterIgnoresRequestsAndSlaveReadsThem) {
    const Bytes echo = withPreambles(*hart::encodeFrame(request(kDevice, 1)));
    hart::FrameReader master(hart::FrameType::Reply);
    EXPECT_TRUE(master.feed(echo).empty()) << "a modem's echo of the request is no reply";
    hart::FrameReader slave(hart::FrameType::Request);
    const auto events = slave.feed(echo);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].frame.command, 1);
}

TEST(Timing, DataLinkTimesAtTwelveHundredBits) {
    EXPECT_EQ(hart::kCharacterTime.count(), 9167);
    EXPECT_EQ(hart::wireTime(12).count(), 110000);
    EXPECT_EQ(hart::kSlaveTimeout.count(), 257);
    EXPECT_EQ(hart::kPrimaryMasterRt1.count(), 303);
    EXPECT_EQ(hart::kSecondaryMasterRt1.count(), 376);
    EXPECT_EQ(hart::kRt2.count(), 74);
}

}  // namespace
