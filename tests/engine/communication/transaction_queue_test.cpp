#include <gtest/gtest.h>

#include "channel_test_support.h"
#include "engine/communication/transfer_requests.h"

namespace engine::communication::testing {
namespace {

using UpDownload = FakeOuterDtm::UpDownload;

int32_t paraIdOf(uint32_t command) {
    return commandKeyAsInt32(commandKey(command, 0));
}

// The batchEnd flags of the queue, front first.
std::vector<bool> batchEnds(const std::list<Transaction>& queue) {
    std::vector<bool> flags;
    for (const Transaction& entry : queue) flags.push_back(entry.batchEnd);
    return flags;
}

TEST_F(ChannelTest, DownloadElementQueuesInOrderWithOneBatchEnd) {
    init();  // offline: nothing is sent, the queue stays as built
    channel.RunScript("download[165,210,175,211,212]", nullptr);
    EXPECT_EQ(queuedCommands(), (std::vector<uint32_t>{165, 210, 175, 211, 212}));
    const auto queue = channel.queueSnapshot();
    EXPECT_EQ(batchEnds(queue), (std::vector<bool>{false, false, false, false, true}));
    for (const Transaction& entry : queue) {
        EXPECT_TRUE(entry.isDownload);
        EXPECT_EQ(entry.invokeId.size(), 36u);
    }
    const std::vector<UpDownload> expected = {{true, paraIdOf(165), false},
                                              {true, paraIdOf(210), false},
                                              {true, paraIdOf(175), false},
                                              {true, paraIdOf(211), false},
                                              {true, paraIdOf(212), false}};
    EXPECT_EQ(outer.preEvents(), expected);
    EXPECT_LT(paraIdOf(165), 0);  // commands from 128 up are negative VT_I4 values
}

TEST_F(ChannelTest, CommandListSeparators) {
    const std::pair<const char*, std::vector<uint32_t>> cases[] = {
        {"upload[192, 191]", {192, 191}},
        {"upload[192,191]", {192, 191}},
        {"upload[192,\t191]", {192}},
        {"upload[9(2),9]", {9, 9}},
    };
    init();
    for (const auto& [script, commands] : cases) {
        channel.AbortAll();
        channel.RunScript(script, nullptr);
        EXPECT_EQ(queuedCommands(), commands) << script;
    }
    const auto queue = channel.queueSnapshot();
    EXPECT_EQ(queue.front().commandKey, formatCommandKey(commandKey(9, 2)));
}

TEST_F(ChannelTest, EachElementEndsItsOwnBatch) {
    init();
    channel.RunScript("setvalue[2002=77],upload[191],upload[192]", &view);
    EXPECT_EQ(services.values, (std::vector<std::pair<ParameterId, std::string>>{{2002, "77"}}));
    EXPECT_EQ(device.find(2002)->getValueText(kDisplayMode), "77");
    EXPECT_EQ(queuedCommands(), (std::vector<uint32_t>{191, 192}));
    EXPECT_EQ(batchEnds(channel.queueSnapshot()), (std::vector<bool>{true, true}));
    EXPECT_EQ(channel.queueSnapshot().front().ownerId, 7);
}

TEST_F(ChannelTest, SetValueComesBeforeTheWriteThatCarriesIt) {
    connect();
    channel.RunScript("setvalue[2001=1],download[155]", nullptr);
    ASSERT_EQ(communication.transactions().size(), 1u);
    EXPECT_NE(communication.transactions()[0].document.find("byteArray=\"3f800000\""),
              std::string::npos);
}

TEST_F(ChannelTest, FinishedTellsTheRequesterAtItsBatchEnd) {
    connect();
    channel.RunScript("upload[3,9]", &view);
    answerLast(dataExchangeResponse("3f8000001234"));
    EXPECT_TRUE(view.finished.empty());
    answerLast(dataExchangeResponse("01"));
    EXPECT_EQ(view.finished, std::vector<std::string>{formatCommandKey(commandKey(9, 0))});
    const std::vector<UpDownload> post = {{false, paraIdOf(3), false}, {false, paraIdOf(9), false}};
    std::vector<UpDownload> seen;
    for (const UpDownload& event : outer.events) {
        if (!event.preEvent) seen.push_back(event);
    }
    EXPECT_EQ(seen, post);
}

TEST_F(ChannelTest, IndexOutsideTheMapNamesNoCommandOfIt) {
    connect();
    const std::string before = device.find(2021)->getValueText(kDisplayMode);
    channel.RunScript("upload[9(256)]", &view);
    ASSERT_EQ(communication.transactions().size(), 1u);
    EXPECT_EQ(channel.queueSnapshot().front().commandKey, "150995200") << "9 * 16777216 + 256";
    EXPECT_EQ(sentCommands(), std::vector<std::string>{"9"});
    answerLast(dataExchangeResponse("05"));
    EXPECT_EQ(device.find(2021)->getValueText(kDisplayMode), before)
        << "the reply of command 9 index 0 is not decoded";
    EXPECT_EQ(view.finished, std::vector<std::string>{"150995200"});
}

TEST_F(ChannelTest, FirstGoesAheadOfWaitingEntriesLastOneFirst) {
    connect();
    channel.RunScript("upload[3],upload[191,192]", nullptr);  // 3 in flight, 191 and 192 waiting
    channel.RunScript("download[7,8,first]", &view);
    EXPECT_EQ(queuedCommands(), (std::vector<uint32_t>{3, 8, 7, 191, 192}));
    // The element ends with 7, the entry of it sent last.
    EXPECT_EQ(batchEnds(channel.queueSnapshot()),
              (std::vector<bool>{true, false, true, false, true}));
    for (int i = 0; i < 5; ++i) answerLast(dataExchangeResponse(""));
    EXPECT_EQ(sentCommands(), (std::vector<std::string>{"3", "8", "7", "191", "192"}));
    EXPECT_EQ(view.finished, std::vector<std::string>{formatCommandKey(commandKey(7, 0))});
}

TEST_F(ChannelTest, ClearActionsByOwnerId) {
    init();
    channel.RunScript("upload[3]", &view);
    channel.RunScript("upload[9]", nullptr);
    channel.RunScript("upload[140]", &other);
    channel.RunScript("upload[191]", nullptr);

    ClearActions(channel, nullptr);
    EXPECT_EQ(queuedCommands(), (std::vector<uint32_t>{3, 140}));
    ClearActions(channel, &view);
    EXPECT_EQ(queuedCommands(), (std::vector<uint32_t>{140}));
    EXPECT_EQ(view.references, 0u);  // the removed entries released their requester
    EXPECT_TRUE(view.finished.empty());
    EXPECT_TRUE(frame.errors.empty());
}

TEST_F(ChannelTest, ClearActionsRemovesTheEntryInFlight) {
    connect();
    channel.RunScript("upload[3]", &view);
    channel.RunScript("upload[9]", nullptr);
    const std::string inFlight = communication.transactions()[0].invokeId;
    channel.ClearActions(&view);
    EXPECT_EQ(queuedCommands(), (std::vector<uint32_t>{9}));
    // The late answer finds nothing and lets the next entry go.
    channel.OnTransactionResponse(inFlight, dataExchangeResponse("3f8000001234"));
    EXPECT_EQ(sentCommands(), (std::vector<std::string>{"3", "9"}));
    EXPECT_EQ(device.find(2000)->getValueText(kDisplayMode), "0.0000000000");
}

TEST_F(ChannelTest, FinishedMayClearAndQueueAgain) {
    connect();
    int rounds = 0;
    view.onFinished = [&] {
        if (++rounds < 3) {
            ClearActions(channel, &view);
            channel.RunScript("upload[3]", &view);
        }
    };
    channel.RunScript("upload[3]", &view);
    for (int i = 0; i < 3; ++i) answerLast(dataExchangeResponse("3f8000001234"));
    EXPECT_EQ(rounds, 3);
    EXPECT_EQ(channel.queueSize(), 0u);
    EXPECT_EQ(communication.transactions().size(), 3u);
}

TEST_F(ChannelTest, VetoedCommandsAreSkipped) {
    init();
    outer.vetoed = {paraIdOf(9)};
    channel.RunScript("upload[3,9,140]", nullptr);
    EXPECT_EQ(queuedCommands(), (std::vector<uint32_t>{3, 140}));
    EXPECT_EQ(batchEnds(channel.queueSnapshot()), (std::vector<bool>{false, true}));
}

TEST_F(ChannelTest, InconsistentParameterRefusesItsCommandOnly) {
    init();
    device.setValue(2001, "150", kDisplayMode);
    ASSERT_TRUE(device.inconsistency(2001));
    channel.RunScript("download[155,3]", nullptr);
    EXPECT_EQ(queuedCommands(), (std::vector<uint32_t>{3}));
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0].flags, 0x10);
    EXPECT_EQ(services.boxes[0].text.rfind("setpoint : inconsistent_data_help", 0), 0u)
        << services.boxes[0].text;
}

TEST_F(ChannelTest, ProgressReportsThirdsAndEndsHidden) {
    connect();
    channel.RunScript("startprogress[sync_title],upload[3,9,140],stopprogress[]", nullptr);
    channel.RunScript("upload[191]", nullptr);  // after stopprogress: not counted
    for (int i = 0; i < 4; ++i) answerLast(dataExchangeResponse(""));
    ASSERT_EQ(frame.progress.size(), 3u);
    EXPECT_EQ(frame.progress[0].percent, 33);
    EXPECT_EQ(frame.progress[1].percent, 66);
    EXPECT_EQ(frame.progress[2].percent, 100);
    EXPECT_TRUE(frame.progress[0].show);
    EXPECT_TRUE(frame.progress[1].show);
    EXPECT_FALSE(frame.progress[2].show);
    EXPECT_EQ(frame.progress[2].title, "Reading");
    EXPECT_FALSE(channel.progress().active());
}

TEST_F(ChannelTest, ClearingTheLastTrackedCommandReportsTheEnd) {
    init();
    channel.RunScript("startprogress[x],upload[3]", &view);
    channel.ClearActions(&view);
    ASSERT_EQ(frame.progress.size(), 1u);
    EXPECT_EQ(frame.progress[0].percent, 100);
    EXPECT_FALSE(frame.progress[0].show);
}

TEST_F(ChannelTest, FullUploadEndsWithUploadFinished) {
    connect();
    outer.uploadList = "upload[3, 9]";
    const TransferRequestResult result = RequestUpload(channel, "upload-1");
    EXPECT_TRUE(result.started);
    EXPECT_TRUE(result.lockGranted);
    EXPECT_EQ(frame.locks, 1);
    EXPECT_TRUE(channel.queueSnapshot().back().uploadMark);
    answerLast(dataExchangeResponse("3f8000001234"));
    EXPECT_TRUE(frame.uploads.empty());
    answerLast(dataExchangeResponse("01"));
    ASSERT_EQ(frame.uploads.size(), 1u);
    EXPECT_EQ(frame.uploads[0].invokeId, "upload-1");
    EXPECT_TRUE(frame.uploads[0].success);
    EXPECT_EQ(device.dataSetState(), "allDataLoaded");
    EXPECT_EQ(frame.unlocks, 1);
    const std::vector<UpDownload> post(outer.events.end() - 2, outer.events.end());
    EXPECT_EQ(post, (std::vector<UpDownload>{{false, -1, false}, {false, paraIdOf(9), false}}));
}

TEST_F(ChannelTest, AbortDuringUploadEndsWithUploadFailed) {
    connect();
    outer.uploadList = "upload[3, 9]";
    ASSERT_TRUE(RequestUpload(channel, "upload-2").started);
    answerLast(dataExchangeResponse("3f8000001234"));
    channel.OnAbort("ref-1");
    ASSERT_EQ(frame.uploads.size(), 1u);
    EXPECT_EQ(frame.uploads[0].invokeId, "upload-2");
    EXPECT_FALSE(frame.uploads[0].success);
    EXPECT_EQ(frame.unlocks, 1);
    EXPECT_NE(device.dataSetState(), "allDataLoaded");
}

TEST_F(ChannelTest, DownloadRequestChecks) {
    connect();
    outer.downloadList = "download[155]";
    device.setValue(2001, "1", kDisplayMode);

    outer.allowDownload = false;
    EXPECT_FALSE(RequestDownload(channel, "d-1").started);
    EXPECT_EQ(outer.tried, std::vector<std::string>{"try_download d-1"});
    EXPECT_EQ(frame.locks, 0);

    outer.allowDownload = true;
    frame.grantLock = false;
    EXPECT_FALSE(RequestDownload(channel, "d-2").started);
    EXPECT_EQ(frame.errors, std::vector<std::string>{"Communication Error LockDataSet failed"});

    frame.grantLock = true;
    device.setValue(2001, "150", kDisplayMode);  // writable and out of range
    EXPECT_FALSE(RequestDownload(channel, "d-3").started);
    ASSERT_EQ(services.boxes.size(), 1u);
    EXPECT_EQ(services.boxes[0].flags, 0x10);
    EXPECT_EQ(frame.locks, 1);

    device.setValue(2001, "2", kDisplayMode);
    const TransferRequestResult started = RequestDownload(channel, "d-4");
    EXPECT_TRUE(started.started);
    answerLast(dataExchangeResponse("40000000"));
    ASSERT_EQ(frame.downloads.size(), 1u);
    EXPECT_EQ(frame.downloads[0].invokeId, "d-4");
    EXPECT_TRUE(frame.downloads[0].success);
    EXPECT_EQ(outer.events.back(), (UpDownload{false, paraIdOf(155), true}));
}

TEST_F(ChannelTest, VetoedDownloadAnswersFalseAndMarksNothing) {
    connect();
    outer.downloadList = "download[155, 3]";
    outer.vetoed = {paraIdOf(155), paraIdOf(3)};
    const TransferRequestResult result = RequestDownload(channel, "d-5");
    EXPECT_FALSE(result.started);
    EXPECT_TRUE(result.lockGranted);
    EXPECT_EQ(channel.queueSize(), 0u);
    EXPECT_EQ(channel.transferInvokeId(), "");
}

TEST_F(ChannelTest, ExecuteActionForTheOuterDtm) {
    connect();
    const com::Bstr id = com::Bstr::fromUtf8("d-6");
    BSTR invokeId = id.get();
    const auto execute = [&](const char* action) {
        const com::Bstr text = com::Bstr::fromUtf8(action);
        BSTR value = text.get();
        return ExecuteAction(channel, &value, &invokeId);
    };

    EXPECT_EQ(execute("OnDownloadFinished"), S_OK);
    ASSERT_EQ(frame.downloads.size(), 1u);
    EXPECT_EQ(frame.downloads[0].invokeId, "d-6");
    EXPECT_TRUE(frame.downloads[0].success);
    EXPECT_EQ(channel.queueSize(), 0u);

    EXPECT_EQ(execute("upload[3]"), S_OK);  // neither text: nothing happens
    EXPECT_EQ(channel.queueSize(), 0u);

    EXPECT_EQ(execute("setvalue[2001=3],download[155]"), S_OK);
    EXPECT_EQ(channel.transferInvokeId(), "d-6");
    EXPECT_TRUE(channel.queueSnapshot().back().downloadMark);
    answerLast(dataExchangeResponse("40400000"));
    ASSERT_EQ(frame.downloads.size(), 2u);
    EXPECT_TRUE(frame.downloads[1].success);

    BSTR* none = nullptr;
    EXPECT_EQ(ExecuteAction(channel, none, &invokeId), E_POINTER);
    EXPECT_EQ(ExecuteAction(channel, &invokeId, none), E_POINTER);
}

TEST_F(ChannelTest, DoActionAnswersEPointerOnFailure) {
    init();
    const com::Bstr script = com::Bstr::fromUtf8("setvalue[2002=5],upload[3]");
    BSTR text = script.get();
    EXPECT_EQ(DoAction(channel, &text, nullptr), S_OK);
    EXPECT_EQ(channel.queueSize(), 1u);
    EXPECT_EQ(DoAction(channel, nullptr, nullptr), E_POINTER);
    BSTR empty = nullptr;
    EXPECT_EQ(DoAction(channel, &empty, nullptr), S_OK);

    services.throwOnSet = true;
    EXPECT_EQ(DoAction(channel, &text, nullptr), E_POINTER);
    EXPECT_EQ(channel.queueSize(), 1u);  // the script ended at the failing setvalue
}

}  // namespace
}  // namespace engine::communication::testing
