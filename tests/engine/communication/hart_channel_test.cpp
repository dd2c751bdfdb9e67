#include <gtest/gtest.h>

#include "channel_test_support.h"
#include "engine/communication/communication_documents.h"
#include "engine/description/schema_cache_builder.h"
#include "platform/xml/schema_cache.h"

namespace engine::communication::testing {
namespace {

using Kind = ScriptedCommunication::Kind;

std::string attributeOf(const std::string& document, const std::string& xpath) {
    return parseResponse(document, nullptr).textOr(xpath, "<none>");
}

bool isBareGuid(const std::string& id) {
    return id.size() == 36 && id.find('{') == std::string::npos && com::parseGuid(id).has_value();
}

TEST_F(ChannelTest, InitBindsOnceAndReportsStates) {
    std::string name;
    ASSERT_TRUE(channel.GetStateName(name));
    EXPECT_EQ(name, "OFFLINE");
    init();
    EXPECT_EQ(channel.channelState(), kChannelInitialised);
    EXPECT_FALSE(channel.IsOnline());
    connect();
    ASSERT_TRUE(channel.GetStateName(name));
    EXPECT_EQ(name, "ONLINE");
    init();  // a second Init does nothing
    EXPECT_EQ(channel.channelState(), kChannelOnline);
}

TEST_F(ChannelTest, OneConnectRequestTenMillisecondsAfterSetCommunication) {
    init();
    ASSERT_TRUE(channel.SetCommunication(&communication));
    EXPECT_EQ(channel.channelState(), kChannelOffline);
    loop.advance(9ms);
    EXPECT_TRUE(communication.requests.empty());
    loop.advance(1ms);
    ASSERT_EQ(communication.requests.size(), 1u);
    const auto& request = communication.requests[0];
    EXPECT_EQ(request.kind, Kind::Connect);
    EXPECT_TRUE(isBareGuid(request.invokeId)) << request.invokeId;
    EXPECT_EQ(request.protocolId, "036D1498-387B-11D4-86E1-00E0987270B9");
    EXPECT_EQ(communication.callback, static_cast<IFdtCommunicationEvents*>(&callback));
    EXPECT_EQ(attributeOf(request.document, "//user:ConnectRequest/@fdt:tag"), "PT-101");
    EXPECT_EQ(
        attributeOf(request.document, "//user:ConnectRequest/user:ShortAddress/@shortAddress"),
        "0");
    EXPECT_EQ(channel.connectionState(), kConnectRequested);
    loop.advance(1000ms);
    EXPECT_EQ(communication.requests.size(), 1u);

    // A second connect gets a fresh invoke id.
    channel.OnConnectResponse(request.invokeId, connectResponse("ref-1"));
    channel.Disconnect();
    channel.OnDisconnectResponse(communication.requests.back().invokeId,
                                 disconnectResponse("ref-1"));
    ASSERT_TRUE(channel.ReleaseCommunication());
    channel.SetCommunication(&communication);
    loop.advance(10ms);
    const auto connects = communication.of(Kind::Connect);
    ASSERT_EQ(connects.size(), 2u);
    EXPECT_NE(connects[0].invokeId, connects[1].invokeId);
}

TEST_F(ChannelTest, ConnectResponseWithReferenceGoesOnline) {
    connect("ref-1");
    EXPECT_EQ(channel.communicationReference(), "ref-1");
    EXPECT_EQ(channel.connectionState(), kConnected);
    EXPECT_EQ(frame.onlineStates, (std::vector<bool>{false, true}));
    EXPECT_EQ(frame.functionChanges, 1);
    EXPECT_EQ(outer.onlineChanges, 0);  // the DTM object tells the outer DTM, once
}

TEST_F(ChannelTest, RefusedConnectRequest) {
    init();
    communication.acceptConnect = false;
    channel.SetCommunication(&communication);
    channel.RunScript("upload[3]", nullptr);
    loop.advance(10ms);
    EXPECT_EQ(frame.errors,
              (std::vector<std::string>{"Communication Error ConnectRequest failed"}));
    EXPECT_EQ(channel.communicationReference(), "");
    EXPECT_EQ(channel.connectionState(), kNoConnection);
    EXPECT_EQ(channel.channelState(), kChannelOffline);
    EXPECT_EQ(frame.onlineStates, (std::vector<bool>{false, false}));
    EXPECT_EQ(channel.queueSize(), 0u);
}

TEST_F(ChannelTest, ConnectResponseWithoutReference) {
    const std::pair<std::string, std::string> cases[] = {
        {fdtDocument("<ConnectResponse/>"),
         "Communication Error: ConnectRequest failed.\nReason:unknow\nTag:unknow"},
        {communicationError("no device", "PT-101"),
         "Communication Error: ConnectRequest failed.\nReason:no device\nTag:PT-101"},
        {"not a document",
         "Communication Error: ConnectRequest failed.\nReason:unknow\nTag:unknow"},
        {communicationError(std::string(400, 'x'), "t"),
         ("Communication Error: ConnectRequest failed.\nReason:" + std::string(400, 'x'))
             .substr(0, 255)},
    };
    init();
    channel.SetCommunication(&communication);
    for (const auto& [response, message] : cases) {
        SCOPED_TRACE(message.substr(0, 60));
        frame.errors.clear();
        channel.RunScript("upload[3]", nullptr);
        loop.advance(10ms);
        ASSERT_EQ(channel.connectionState(), kConnectRequested);
        channel.OnConnectResponse(communication.requests.back().invokeId, response);
        EXPECT_EQ(frame.errors, std::vector<std::string>{message});
        EXPECT_EQ(channel.communicationReference(), "unknow");
        EXPECT_EQ(channel.connectionState(), kNoConnection);
        EXPECT_EQ(channel.channelState(), kChannelOffline);
        EXPECT_FALSE(frame.onlineStates.back());
        EXPECT_EQ(channel.queueSize(), 0u);
    }
}

TEST_F(ChannelTest, DisconnectWhileConnectIsOutstanding) {
    init();
    channel.SetCommunication(&communication);
    loop.advance(10ms);
    channel.Disconnect();
    EXPECT_TRUE(communication.of(Kind::Disconnect).empty());
    EXPECT_TRUE(channel.disconnectPending());
    channel.OnConnectResponse(communication.requests.back().invokeId, connectResponse("ref-1"));
    loop.advance(9ms);
    EXPECT_TRUE(communication.of(Kind::Disconnect).empty());
    loop.advance(1ms);
    const auto disconnects = communication.of(Kind::Disconnect);
    ASSERT_EQ(disconnects.size(), 1u);
    EXPECT_TRUE(isBareGuid(disconnects[0].invokeId));
    EXPECT_EQ(
        attributeOf(disconnects[0].document, "//user:DisconnectRequest/@communicationReference"),
        "ref-1");
    EXPECT_EQ(channel.connectionState(), kDisconnected);

    channel.OnDisconnectResponse(disconnects[0].invokeId, disconnectResponse("ref-1"));
    EXPECT_EQ(channel.channelState(), kChannelOffline);
    EXPECT_EQ(frame.preparedToReleaseCommunication, 1);
    EXPECT_EQ(frame.onlineStates.back(), false);
}

TEST_F(ChannelTest, DisconnectWaitingForAFailedConnectIsDropped) {
    init();
    channel.SetCommunication(&communication);
    loop.advance(10ms);
    EXPECT_TRUE(channel.PrepareRelease());
    channel.OnConnectResponse(communication.requests.back().invokeId,
                              fdtDocument("<ConnectResponse/>"));
    loop.advance(10ms);
    EXPECT_TRUE(communication.of(Kind::Disconnect).empty());
    EXPECT_FALSE(channel.disconnectPending());
    EXPECT_EQ(frame.preparedToReleaseCommunication, 1);
    EXPECT_TRUE(channel.ReleaseCommunication());
}

TEST_F(ChannelTest, RefusedDisconnectReportsAfterOneHundredMilliseconds) {
    connect();
    communication.acceptDisconnect = false;
    EXPECT_FALSE(channel.PrepareRelease());
    EXPECT_EQ(channel.connectionState(), kConnected);
    EXPECT_EQ(channel.channelState(), kChannelOnline);
    loop.advance(99ms);
    EXPECT_TRUE(frame.errors.empty());
    loop.advance(1ms);
    EXPECT_EQ(frame.errors,
              (std::vector<std::string>{"Communication Error DisconnectRequest failed"}));
    EXPECT_FALSE(channel.ReleaseCommunication());
}

TEST_F(ChannelTest, DisconnectResponseWithoutReferenceStaysConnected) {
    connect();
    channel.Disconnect();
    channel.OnDisconnectResponse(communication.requests.back().invokeId,
                                 communicationError("busy", "x"));
    EXPECT_EQ(frame.errors,
              (std::vector<std::string>{
                  "Communication Error: ConnectRequest failed.\nReason:busy\nTag:x"}));
    EXPECT_EQ(channel.connectionState(), kConnected);
}

TEST_F(ChannelTest, PrepareReleaseAndReleaseCommunication) {
    init();
    EXPECT_TRUE(channel.PrepareRelease());  // no connection: prepared at once
    EXPECT_EQ(frame.preparedToReleaseCommunication, 1);
    channel.SetCommunication(&communication);
    EXPECT_FALSE(channel.ReleaseCommunication());  // a connect is pending
    loop.advance(10ms);
    channel.OnConnectResponse(communication.requests.back().invokeId, connectResponse("ref-1"));
    EXPECT_FALSE(channel.ReleaseCommunication());
    EXPECT_TRUE(channel.PrepareRelease());
    EXPECT_FALSE(channel.ReleaseCommunication());  // the DisconnectRequest is not answered yet
    channel.OnDisconnectResponse(communication.requests.back().invokeId,
                                 disconnectResponse("ref-1"));
    EXPECT_TRUE(channel.PrepareRelease());
    const ULONG held = communication.references;
    EXPECT_TRUE(channel.ReleaseCommunication());
    EXPECT_EQ(communication.references, held - 1);
}

TEST_F(ChannelTest, FrameAbortEndsTheConnection) {
    connect();
    channel.RunScript("upload[3]", nullptr);
    channel.OnAbort("ref-1");
    EXPECT_EQ(channel.channelState(), kChannelOffline);
    EXPECT_EQ(channel.connectionState(), kDisconnected);
    EXPECT_EQ(channel.queueSize(), 0u);
    EXPECT_EQ(frame.preparedToReleaseCommunication, 1);
    EXPECT_EQ(frame.functionChanges, 2);
}

TEST_F(ChannelTest, OneEntryInFlight) {
    connect();
    channel.RunScript("upload[3,9]", nullptr);
    ASSERT_EQ(communication.transactions().size(), 1u);
    channel.RunScript("upload[140]", nullptr);
    EXPECT_EQ(communication.transactions().size(), 1u);
    answerLast(dataExchangeResponse("3f8000001234"));
    EXPECT_EQ(sentCommands(), (std::vector<std::string>{"3", "9"}));
    answerLast(dataExchangeResponse("01"));
    answerLast(dataExchangeResponse("0001"));
    EXPECT_EQ(sentCommands(), (std::vector<std::string>{"3", "9", "140"}));
    EXPECT_EQ(channel.queueSize(), 0u);
    EXPECT_EQ(device.find(2000)->getValueText(kDisplayMode), "1.0000000000");
}

TEST_F(ChannelTest, ReferenceIsTheOneCurrentAtSendingTime) {
    init();
    channel.SetCommunication(&communication);
    channel.RunScript("upload[3]", nullptr);  // queued while offline
    const auto stored = channel.queueSnapshot().front().request;
    EXPECT_EQ(attributeOf(stored, "//user:DataExchangeRequest/@communicationReference"), "");
    loop.advance(10ms);
    channel.OnConnectResponse(communication.requests.back().invokeId, connectResponse("ref-9"));
    ASSERT_EQ(communication.transactions().size(), 1u);
    EXPECT_EQ(attributeOf(communication.transactions()[0].document,
                          "//user:DataExchangeRequest/@communicationReference"),
              "ref-9");
}

TEST_F(ChannelTest, QueueingWhileOfflineAsksForAConnection) {
    init();
    channel.SetCommunication(&communication);
    loop.advance(10ms);
    channel.OnConnectResponse(communication.requests.back().invokeId,
                              fdtDocument("<ConnectResponse/>"));
    communication.requests.clear();
    channel.RunScript("upload[3]", nullptr);
    loop.advance(10ms);
    EXPECT_EQ(communication.of(Kind::Connect).size(), 1u);
}

TEST_F(ChannelTest, CommunicationStatusAbortsTheQueueButStaysOnline) {
    const std::pair<const char*, const char*> cases[] = {
        {"194", "rx buffer overflow\nparity error\n"},
        {"128", ""},
    };
    connect();
    for (const auto& [value, message] : cases) {
        frame.errors.clear();
        channel.RunScript("upload[3,9]", nullptr);
        answerLast(dataExchangeResponse("", communicationStatus(value)));
        EXPECT_EQ(frame.errors, std::vector<std::string>{message}) << value;
        EXPECT_EQ(channel.queueSize(), 0u);
        EXPECT_TRUE(channel.IsOnline());
    }
}

TEST_F(ChannelTest, DeviceStatusGoesToItsParameter) {
    connect();
    channel.RunScript("upload[3]", nullptr);
    answerLast(dataExchangeResponse("3f8000001234", "", "C0"));
    EXPECT_EQ(device.find(210179647)->getValueText(kDisplayMode), "192");
}

TEST_F(ChannelTest, CommunicationErrorDocumentAbortsTheConnection) {
    connect();
    channel.RunScript("upload[3,9]", nullptr);
    answerLast(communicationError("timeout", "PT-101"));
    EXPECT_EQ(frame.errors,
              (std::vector<std::string>{"Communication Error\nReason:timeout\nTag:PT-101"}));
    EXPECT_EQ(channel.queueSize(), 0u);
    EXPECT_TRUE(channel.blocked());
    EXPECT_EQ(channel.channelState(), kChannelOffline);
    EXPECT_EQ(channel.connectionState(), kDisconnected);
    const auto aborts = communication.of(Kind::Abort);
    ASSERT_EQ(aborts.size(), 1u);
    const ParsedResponse abort = parseResponse(aborts[0].document, nullptr);
    EXPECT_EQ(abort.document.documentElement().childElements().at(0).nodeName(), "Abort");

    // Offline and blocked: nothing is sent.
    channel.RunScript("upload[3]", nullptr);
    EXPECT_EQ(communication.transactions().size(), 1u);
}

TEST_F(ChannelTest, RefusedTransactionRequestBlocks) {
    connect();
    communication.acceptTransaction = false;
    channel.RunScript("upload[3,9]", nullptr);
    EXPECT_EQ(frame.errors,
              (std::vector<std::string>{"Communication Error TransactionRequest failed"}));
    EXPECT_TRUE(channel.blocked());
    EXPECT_EQ(channel.queueSize(), 0u);
    communication.acceptTransaction = true;
    channel.RunScript("upload[3]", nullptr);
    EXPECT_EQ(communication.transactions().size(), 1u);
    EXPECT_EQ(channel.queueSize(), 1u);
}

TEST_F(ChannelTest, ResponseCodeRetryThenCancel) {
    connect();
    services.answers = {4, 2};  // retry, then cancel
    channel.RunScript("upload[3]", nullptr);
    const std::string invokeId = communication.transactions()[0].invokeId;
    answerLast(dataExchangeResponse("3f8000001234", commandResponse("32")));
    ASSERT_EQ(communication.transactions().size(), 2u);
    EXPECT_EQ(communication.transactions()[1].invokeId, invokeId);
    EXPECT_EQ(channel.queueSize(), 1u);
    EXPECT_EQ(device.find(2000)->getValueText(kDisplayMode), "0.0000000000");
    answerLast(dataExchangeResponse("3f8000001234", commandResponse("32")));
    ASSERT_EQ(services.boxes.size(), 2u);
    EXPECT_EQ(services.boxes[0].text, "Device busy");
    EXPECT_EQ(services.boxes[0].flags, 5);
    EXPECT_EQ(channel.queueSize(), 0u);
    EXPECT_EQ(device.find(2000)->getValueText(kDisplayMode), "1.0000000000");
    EXPECT_EQ(device.find(439972815)->getValueText(kDisplayMode), "32");
}

TEST_F(ChannelTest, IgnoredResponseCodesCountAsSuccess) {
    connect();
    device.setValue(1274278243, "16", kDisplayMode);
    channel.RunScript("upload[3]", nullptr);
    answerLast(dataExchangeResponse("3f8000001234", commandResponse("1")));
    EXPECT_TRUE(services.boxes.empty());
    EXPECT_EQ(channel.queueSize(), 0u);

    channel.RunScript("upload[3]", nullptr);
    answerLast(dataExchangeResponse("3f8000001234", commandResponse("7")));
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0].text, "CMDResponse7");  // no translation: the key itself
}

TEST_F(ChannelTest, UnknownInvokeIdLeavesTheQueueAlone) {
    connect();
    channel.RunScript("upload[3,9]", nullptr);
    const auto before = channel.queueSnapshot();
    channel.OnTransactionResponse("00000000-0000-0000-0000-000000000000",
                                  dataExchangeResponse("3f8000001234"));
    channel.OnTransactionResponse("00000000-0000-0000-0000-000000000000", dataExchangeResponse(""));
    const auto after = channel.queueSnapshot();
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.front().invokeId, before.front().invokeId);
    EXPECT_TRUE(after.front().sent);
    EXPECT_EQ(communication.transactions().size(), 1u);
    EXPECT_EQ(device.find(2000)->getValueText(kDisplayMode), "0.0000000000");
}

TEST_F(ChannelTest, BrokenResponsesChangeNothing) {
    connect();
    channel.RunScript("upload[3,9]", nullptr);
    const std::string inFlight = communication.transactions()[0].invokeId;
    const std::string responses[] = {
        "",
        "<FDT",
        "garbage",
        fdtDocument("<DataExchangeResponse/>"),
        fdtDocument("<DataExchangeResponse><fdt:CommunicationData "
                    "byteArray=\"00\"/></DataExchangeResponse>"),
        fdtDocument("<Other/>"),
        std::string(100000, '<'),
    };
    for (const std::string& response : responses) {
        channel.OnTransactionResponse(inFlight, response);
        ASSERT_EQ(channel.queueSize(), 2u) << response.substr(0, 80);
        EXPECT_TRUE(channel.queueSnapshot().front().sent);
    }
    EXPECT_EQ(communication.transactions().size(), 1u);
    // The entry is still answerable.
    answerLast(dataExchangeResponse("3f8000001234"));
    EXPECT_EQ(channel.queueSize(), 1u);
}

TEST_F(ChannelTest, OddAndShortByteArraysAreDecodedAsFarAsTheyGo) {
    connect();
    channel.RunScript("upload[3]", nullptr);
    answerLast(dataExchangeResponse("3f80000012345"));  // odd length
    EXPECT_EQ(channel.queueSize(), 0u);
    EXPECT_EQ(device.find(2000)->getValueText(kDisplayMode), "1.0000000000");
    EXPECT_EQ(device.find(2002)->getValueText(kDisplayMode), "4660");
    channel.RunScript("upload[3]", nullptr);
    answerLast(dataExchangeResponse("40000000"));  // the count lies past the end
    EXPECT_EQ(device.find(2000)->getValueText(kDisplayMode), "2.0000000000");
    EXPECT_EQ(device.find(2002)->getValueText(kDisplayMode), "4660");
}

TEST_F(ChannelTest, FrameAnsweringFromInsideTransactionRequest) {
    connect();
    int depth = 0;
    communication.onTransaction = [&](const ScriptedCommunication::Request& request) {
        ++depth;
        channel.OnTransactionResponse(request.invokeId, dataExchangeResponse("3f8000001234"));
    };
    channel.RunScript("startprogress[sync_title],upload[3,9,140,3]", &view);
    EXPECT_EQ(depth, 4);
    EXPECT_EQ(channel.queueSize(), 0u);
    EXPECT_EQ(view.finished.size(), 1u);
    ASSERT_FALSE(frame.progress.empty());
    EXPECT_EQ(frame.progress.back().percent, 100);
    EXPECT_FALSE(frame.progress.back().show);
}

TEST_F(ChannelTest, ResponsesAreValidatedAgainstTheFrameSchemas) {
    connect("ref-1", buildSchemaCache(std::string(HARTDTM_SOURCE_ROOT) + "/devices/schemas"));
    channel.RunScript("upload[3,9]", nullptr);
    // bin.hex takes whole bytes only: an odd byte array breaks the schema.
    answerLast(dataExchangeResponse("3f80000012345"));
    ASSERT_EQ(frame.errors.size(), 1u);
    EXPECT_EQ(frame.errors[0].rfind("Communication Error: unreadable response.\nReason:", 0), 0u)
        << frame.errors[0];
    EXPECT_EQ(channel.queueSize(), 2u);
    answerLast(dataExchangeResponse("3f8000001234", commandResponse("0")));
    EXPECT_EQ(channel.queueSize(), 1u);
    EXPECT_EQ(device.find(2002)->getValueText(kDisplayMode), "4660");
}

TEST_F(ChannelTest, ShutdownEndsARunningTransfer) {
    connect();
    outer.uploadList = "upload[3,9]";
    channel.RunScript("upload[3,9]", nullptr);
    channel.MarkTransfer(false, "transfer-1");
    const ULONG held = communication.references;
    channel.Shutdown();
    ASSERT_EQ(frame.uploads.size(), 1u);
    EXPECT_FALSE(frame.uploads[0].success);
    EXPECT_LT(communication.references, held);
    EXPECT_EQ(outer.references, 0u);
    EXPECT_EQ(frame.references, 0u);
    init();
    EXPECT_NE(channel.channelState(), kChannelInitialised);
}

}  // namespace
}  // namespace engine::communication::testing
