// The stand-alone simulator's station: addressing by polling and long
// address, line faults, and the device answers mended on the way (polling
// address above 63, impossible dates, NaN, packed-ASCII text).

#include <gtest/gtest.h>

#include <cmath>

#include "engine/parameters/wire_coding.h"
#include "hart/identity.h"
#include "simulator/hart_codes.h"
#include "simulator/hartsim/slave_station.h"
#include "simulator/value_coding.h"
#include "simulator_test_support.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

hart::Frame requestTo(hart::Address address, std::uint8_t command, Bytes data = {}) {
    hart::Frame frame;
    frame.address = address;
    frame.command = command;
    frame.data = std::move(data);
    return frame;
}

class HartsimStation : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(station.add("positioner", simtest::open(simtest::packageFolder("positioner"), clock), 0, error))
            << error;
        ASSERT_TRUE(station.add("level", simtest::open(simtest::packageFolder("level"), clock), 2, error)) << error;
        positioner = station.devices()[0].identity.longAddress();
    }
    hart::FrameRead answer(const hart::Frame& request) {
        const simulator::StationReply reply = station.handle(request);
        if (!reply.answered) return {};
        return hart::decodeFrame(reply.frame);
    }

    simtest::FakeClock clock;
    simulator::SlaveStation station;
    hart::Address positioner;
};

TEST_F(HartsimStation, AnswersOnlyFramesAddressedToItsDevices) {
    struct Case {
        const char* what;
        hart::Frame request;
        bool answered;
    } cases[] = {
        {"command 0 at polling address 2", requestTo(hart::Address::shortForm(2), 0), true},
        {"command 0 at an empty polling address", requestTo(hart::Address::shortForm(1), 0), false},
        {"command 1 in a short frame", requestTo(hart::Address::shortForm(0), 1), false},
        {"command 1 to the positioner's long address", requestTo(positioner, 1), true},
        {"a long address of nobody", requestTo(hart::Address::longForm({1, 2, 3, 4, 5}), 1), false},
    };
    for (const Case& c : cases) {
        const hart::FrameRead read = answer(c.request);
        EXPECT_EQ(static_cast<bool>(read), c.answered) << c.what;
        if (!read) continue;
        EXPECT_EQ(read.frame->type, hart::FrameType::Reply);
        EXPECT_TRUE(read.frame->address.sameDevice(c.request.address)) << c.what;
        EXPECT_EQ(read.frame->command, c.request.command);
    }
    const hart::FrameRead level = answer(requestTo(hart::Address::shortForm(2), 0));
    EXPECT_EQ(hart::decodeIdentity(level.frame->data).identity->deviceType, 210);
    std::string error;
    EXPECT_FALSE(station.add("again", simtest::open(simtest::packageFolder("level"), clock), 2, error));
    EXPECT_NE(error.find("polling address 2 is taken by level"), std::string::npos) << error;
}

TEST_F(HartsimStation, LineFaultsHitTheRequestsTheyName) {
    std::string error;
    for (const char* text : {"silence:1", "badcheck:2", "commerror=0xC8:3", "close:4"})
        station.addFault(*simulator::parseLineFault(text, error));
    const hart::Frame request = requestTo(positioner, 13);
    EXPECT_FALSE(station.handle(request).answered);
    const simulator::StationReply spoiled = station.handle(request);
    ASSERT_TRUE(spoiled.answered);
    EXPECT_EQ(hart::decodeFrame(spoiled.frame).error, hart::FrameError::BadCheckByte);
    EXPECT_EQ(answer(request).frame->responseCode, 0xC8);
    EXPECT_TRUE(station.handle(request).closeSession);
    EXPECT_EQ(answer(request).frame->responseCode, 0);
    EXPECT_FALSE(simulator::parseLineFault("commerror=0x40", error));
    EXPECT_FALSE(simulator::parseLineFault("thunder", error));
    EXPECT_NE(error.find("unknown line fault 'thunder'"), std::string::npos);
}

TEST_F(HartsimStation, PollingAddressAboveSixtyThreeAndImpossibleDatesAreRefused) {
    simulator::SimulatedPackage& device = *station.devices()[0].package;
    const auto command6 = [&](std::uint8_t address) {
        Bytes request(device.device().requestSize(*device.device().description().command(6)), 0);
        request[0] = address;
        return device.slave().transact(6, request).responseCode;
    };
    EXPECT_EQ(command6(64), simulator::hart::kInvalidSelection);
    EXPECT_EQ(device.device().pollingAddress(), 0);
    EXPECT_EQ(command6(5), simulator::hart::kSuccess);
    EXPECT_EQ(device.device().pollingAddress(), 5);

    const Bytes before = device.slave().transact(13, {}).data;
    const auto command18 = [&](std::uint8_t day, std::uint8_t month, std::uint8_t year) {
        Bytes request(before.begin(), before.begin() + 18);
        request.insert(request.end(), {day, month, year});
        return device.slave().transact(18, request).responseCode;
    };
    struct DateCase {
        std::uint8_t day, month, year, code;
    } dates[] = {{31, 4, 124, 9}, {29, 2, 123, 9}, {0, 1, 124, 9}, {1, 13, 124, 9}, {29, 2, 124, 0}};
    for (const DateCase& d : dates) {
        EXPECT_EQ(command18(d.day, d.month, d.year), d.code) << int(d.day) << "." << int(d.month);
        if (d.code != 0) {
            EXPECT_EQ(device.slave().transact(13, {}).data, before) << "nothing changes";
        }
    }
}

TEST(HartsimCoding, NanGoesOutAsHartsNanAndPackedTextIsRefusedAlike) {
    simtest::FakeClock clock;
    const auto package = simtest::open(simtest::packageFolder("positioner"), clock);
    simulator::ParameterInfo info;
    info.kind = simulator::ValueKind::Float;
    info.size = 4;
    EXPECT_EQ(simulator::encodeValue(info, simulator::Value{std::nan("")}, 4, package->device().description()),
              (Bytes{0x7F, 0xA0, 0x00, 0x00}));
    for (const char* text : {"TÉST", "TAB\tX", "a{b}", "~"}) {
        EXPECT_FALSE(simulator::isPackedAsciiText(text)) << text;
        EXPECT_FALSE(engine::wire::isPackedAsciiText(text)) << text;
    }
    for (const char* text : {"FV-2041", "lower case", "[A]_?@"}) {
        EXPECT_TRUE(simulator::isPackedAsciiText(text)) << text;
        EXPECT_TRUE(engine::wire::isPackedAsciiText(text)) << text;
    }
}

}  // namespace
