// HART-IP messages: header, bodies, streams that hold part of a message.

#include <gtest/gtest.h>

#include "hart/hartip.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(HartIpMessages, SessionInitiateRoundTrip) {
    hart::ip::Message message;
    message.id = hart::ip::MessageId::SessionInitiate;
    message.sequence = 0x0102;
    message.body = hart::ip::sessionInitiateBody(hart::ip::kPrimaryMaster, 60000);
    const Bytes bytes = hart::ip::encodeMessage(message);
    EXPECT_EQ(bytes, (Bytes{1, 0, 0, 0, 0x01, 0x02, 0x00, 0x0D, 1, 0x00, 0x00, 0xEA, 0x60}));
    const hart::ip::MessageRead read = hart::ip::decodeMessage(bytes);
    ASSERT_TRUE(read) << read.reason;
    EXPECT_EQ(read.length, 13u);
    EXPECT_EQ(read.message->sequence, 0x0102);
    const auto parameters = hart::ip::readSessionInitiate(read.message->body);
    ASSERT_TRUE(parameters);
    EXPECT_EQ(parameters->inactivityMs, 60000u);
}

TEST(HartIpMessages, StreamsAndRefusals) {
    hart::ip::Message pdu;
    pdu.id = hart::ip::MessageId::TokenPassingPdu;
    pdu.body = {0x02, 0x80, 0x00, 0x00, 0x82};
    Bytes stream = hart::ip::encodeMessage(pdu);
    const Bytes second = stream;
    stream.insert(stream.end(), second.begin(), second.begin() + 3);
    const hart::ip::MessageRead first = hart::ip::decodeMessage(stream);
    ASSERT_TRUE(first);
    EXPECT_EQ(first.message->body, pdu.body);
    const hart::ip::MessageRead rest =
        hart::ip::decodeMessage(std::span(stream).subspan(first.length));
    EXPECT_TRUE(rest.needMore);

    struct Case {
        Bytes bytes;
        const char* reason;
    } refusals[] = {
        {{2, 0, 3, 0, 0, 1, 0, 8}, "version"},
        {{1, 0, 9, 0, 0, 1, 0, 8}, "message id"},
        {{1, 0, 3, 0, 0, 1, 0, 4}, "byte count"},
        {{1, 7, 3, 0, 0, 1, 0, 8}, "message type"},
    };
    for (const Case& c : refusals) {
        const hart::ip::MessageRead read = hart::ip::decodeMessage(c.bytes);
        EXPECT_FALSE(read);
        EXPECT_FALSE(read.needMore);
        EXPECT_NE(read.reason.find(c.reason), std::string::npos) << read.reason;
    }
    EXPECT_EQ(hart::ip::statusReason(hart::ip::MessageId::SessionInitiate, 15), "all sessions in use");
}

}  // namespace
