// The frame's HART documents: its answers must pass the schema set that a
// DTM validates them with, and it must read what a DTM sends.

#include "frame/hart_documents.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/frame/frame_test_support.h"

namespace {

using frame::LineAnswer;

std::string fixture(const std::string& name) {
    std::ifstream in(frametest::dataFile("xml/" + name));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

LineAnswer reply(std::uint8_t code, std::uint8_t status, std::vector<std::uint8_t> data) {
    LineAnswer answer;
    answer.responseCode = code;
    answer.deviceStatus = status;
    answer.data = std::move(data);
    return answer;
}

TEST(FrameHartDocuments, EveryAnswerPassesTheSchemaSet) {
    const struct {
        const char* what;
        std::string text;
    } answers[] = {
        {"connect", frame::connectResponseDocument("00000002-0000-0000-0000-000000000001")},
        {"connect error",
         frame::connectErrorDocument("no device answers at short address 3", "PV-101")},
        {"disconnect", frame::disconnectResponseDocument("00000002-0000-0000-0000-000000000001")},
        {"disconnect error",
         frame::disconnectErrorDocument("unknown communication reference 'x'", "PV<&>")},
        {"reply with data",
         frame::dataExchangeResponseDocument("ref", 3, reply(0, 0x40, {0x41, 0xA0, 0, 0}))},
        {"reply without data", frame::dataExchangeResponseDocument("ref", 38, reply(0, 0, {}))},
        {"error code", frame::dataExchangeResponseDocument("ref", 155, reply(32, 0x10, {}))},
        {"communication status", frame::dataExchangeResponseDocument("ref", 3, reply(0xC2, 0, {}))},
        {"communication error", frame::communicationErrorDocument("modem \"unplugged\"", "PV-101")},
    };
    for (const auto& answer : answers) {
        const xml::ParseError error = frametest::validate(answer.text);
        EXPECT_TRUE(error.ok()) << answer.what << ": " << error.reason << "\n" << answer.text;
    }
}

TEST(FrameHartDocuments, DataExchangeResponseCarriesWhatTheChannelReads) {
    const std::string text =
        frame::dataExchangeResponseDocument("R-1", 3, reply(0, 0x4C, {0x41, 0xA0}));
    xml::Document document;
    ASSERT_TRUE(document.loadXML(text));
    document.setProperty("SelectionNamespaces",
                         "xmlns:user='x-schema:FDTHARTCommunicationSchema.xml' "
                         "xmlns:fdt='x-schema:FDTDataTypesSchema.xml'");
    EXPECT_EQ(
        document.selectSingleNode("//user:DataExchangeResponse/@communicationReference").text(),
        "R-1");
    EXPECT_EQ(
        document.selectSingleNode("//user:DataExchangeResponse/user:Status/@deviceStatus").text(),
        "4C");
    EXPECT_EQ(document.selectSingleNode("//user:Status/user:CommandResponse/@value").text(), "0");
    EXPECT_EQ(
        document.selectSingleNode("//user:DataExchangeResponse/fdt:CommunicationData/@byteArray")
            .text(),
        "41A0");
    EXPECT_TRUE(document.selectSingleNode("//user:CommunicationStatus").isNull());

    const std::string garbled = frame::dataExchangeResponseDocument("R-1", 3, reply(0xC2, 0, {1}));
    ASSERT_TRUE(document.loadXML(garbled));
    EXPECT_EQ(document.selectSingleNode("//user:Status/user:CommunicationStatus/@value").text(),
              "194");
    EXPECT_TRUE(document.selectSingleNode("//user:CommandResponse").isNull());
    EXPECT_TRUE(document.selectSingleNode("//fdt:CommunicationData").isNull());
}

TEST(FrameHartDocuments, ReadsTheRequestsADtmSends) {
    const auto connect = frame::readConnectRequest(fixture("hart_connect_request.xml"));
    ASSERT_TRUE(connect.request) << connect.error;
    EXPECT_EQ(connect.request->tag, "PV-101");
    EXPECT_EQ(connect.request->shortAddress, 0);

    const auto disconnect = frame::readDisconnectRequest(fixture("hart_disconnect_request.xml"));
    ASSERT_TRUE(disconnect.request) << disconnect.error;
    EXPECT_EQ(disconnect.request->communicationReference, "5C1E0B2A-7A51-4C43-9A3B-1F0D0E0A7C11");

    const auto exchange = frame::readDataExchangeRequest(fixture("hart_data_exchange_request.xml"));
    ASSERT_TRUE(exchange.request) << exchange.error;
    EXPECT_EQ(exchange.request->commandNumber, 155);
    EXPECT_EQ(exchange.request->data, std::vector<std::uint8_t>{0x01});

    const auto plain =
        frame::readDataExchangeRequest(fixture("hart_data_exchange_request_plain.xml"));
    ASSERT_TRUE(plain.request) << plain.error;
    EXPECT_EQ(plain.request->commandNumber, 3);
    EXPECT_EQ(plain.request->communicationReference, "");
    EXPECT_TRUE(plain.request->data.empty());
}

constexpr const char* kHartStart =
    "<FDT xmlns=\"x-schema:FDTHARTCommunicationSchema.xml\" "
    "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">";

TEST(FrameHartDocuments, ConnectRequestShortAddressForms) {
    const struct {
        const char* address;  // null: no ShortAddress element
        int expected;         // -1: refused
    } cases[] = {{nullptr, 0}, {"", 0},     {"0", 0},   {"15", 15},
                 {"255", 255}, {"256", -1}, {"-1", -1}, {"x", -1}};
    for (const auto& c : cases) {
        std::string text = std::string(kHartStart) + "<ConnectRequest fdt:tag=\"T\">";
        if (c.address) text += std::string("<ShortAddress shortAddress=\"") + c.address + "\"/>";
        text += "</ConnectRequest></FDT>";
        const auto read = frame::readConnectRequest(text);
        if (c.expected < 0) {
            EXPECT_FALSE(read.request) << (c.address ? c.address : "(none)");
            EXPECT_FALSE(read.error.empty());
        } else {
            ASSERT_TRUE(read.request) << read.error;
            EXPECT_EQ(read.request->shortAddress, c.expected);
        }
    }
}

TEST(FrameHartDocuments, RefusesRequestsItCannotCarryOut) {
    const struct {
        const char* what;
        std::string text;
    } cases[] = {
        {"not XML", "<FDT"},
        {"another document", std::string(kHartStart) + "<ConnectRequest fdt:tag=\"T\"/></FDT>"},
        {"no command number",
         std::string(kHartStart) + "<DataExchangeRequest communicationReference=\"r\"/></FDT>"},
        {"command above 255",
         std::string(kHartStart) +
             "<DataExchangeRequest commandNumber=\"256\" communicationReference=\"r\"/></FDT>"},
        {"odd byte array",
         std::string(kHartStart) +
             "<DataExchangeRequest commandNumber=\"3\" communicationReference=\"r\">"
             "<fdt:CommunicationData byteArray=\"ABC\"/></DataExchangeRequest></FDT>"},
        {"no hex digits",
         std::string(kHartStart) +
             "<DataExchangeRequest commandNumber=\"3\" communicationReference=\"r\">"
             "<fdt:CommunicationData byteArray=\"0G\"/></DataExchangeRequest></FDT>"},
        {"wrong namespace",
         "<FDT><DataExchangeRequest commandNumber=\"3\" communicationReference=\"r\"/></FDT>"},
    };
    for (const auto& c : cases) {
        const auto read = frame::readDataExchangeRequest(c.text);
        EXPECT_FALSE(read.request) << c.what;
        EXPECT_FALSE(read.error.empty()) << c.what;
    }
    EXPECT_FALSE(
        frame::readDisconnectRequest(std::string(kHartStart) + "<DisconnectRequest/></FDT>")
            .request);
}

TEST(FrameHartDocuments, HexTextRoundTrip) {
    const std::vector<std::uint8_t> bytes{0x00, 0x0F, 0xA5, 0xFF};
    EXPECT_EQ(frame::hexText(bytes), "000FA5FF");
    EXPECT_EQ(frame::parseHexText("000fa5FF"), bytes);
    EXPECT_EQ(frame::parseHexText(""), std::vector<std::uint8_t>{});
    EXPECT_FALSE(frame::parseHexText("0"));
    EXPECT_FALSE(frame::parseHexText("0 "));
}

}  // namespace
