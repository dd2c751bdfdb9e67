// The frame's HART communication interface on the virtual clock: answers
// arrive through the callback after the line's latency, one request at a
// time, and a silent device is answered with a communication error after the
// response timeout.

#include "frame/hart_communication.h"
#include "platform/com/no_late_binding.h"

#include <gtest/gtest.h>

#include <deque>

#include "platform/loop/virtual_clock_loop.h"
#include "tests/frame/frame_test_support.h"

namespace {

using frame::LineAnswer;
using Ms = std::chrono::milliseconds;

// A line whose answers the test programs; unprogrammed commands answer with
// response code 0 and the command number as data.
class FakeLine final : public frame::SynchronousBackend {
public:
    std::string name() const override { return "fake"; }
    bool answersAt(std::uint8_t address) override { return address == pollingAddress; }
    LineAnswer transact(std::uint8_t command, std::span<const std::uint8_t>) override {
        commands.push_back(command);
        if (!answers.empty()) {
            LineAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        LineAnswer answer;
        answer.data = {command};
        return answer;
    }

    std::uint8_t pollingAddress = 0;
    std::deque<LineAnswer> answers;
    std::vector<std::uint8_t> commands;
};

// The DTM's side: every answer with the time it came.
class RecordingCallback : public com::ComObjectRoot, public com::NoLateBinding<IFdtCommunicationEvents> {
public:
    struct Call {
        long at;
        std::string kind, invokeId, document;
    };

    explicit RecordingCallback(hartdtm::loop::EventLoop& loop) : loop_(loop) {}
    static std::span<const com::InterfaceEntry> interfaces() {
        static constexpr com::InterfaceEntry table[] = {
            com::entry<RecordingCallback, IFdtCommunicationEvents>()};
        return table;
    }
    HRESULT OnAbort(BSTR reference) override { return record("abort", reference, nullptr); }
    HRESULT OnConnectResponse(BSTR id, BSTR document) override {
        return record("connect", id, document);
    }
    HRESULT OnDisconnectResponse(BSTR id, BSTR document) override {
        return record("disconnect", id, document);
    }
    HRESULT OnTransactionResponse(BSTR id, BSTR document) override {
        HRESULT hr = record("transaction", id, document);
        if (onTransaction) onTransaction();
        return hr;
    }

    std::vector<Call> calls;
    std::function<void()> onTransaction;

private:
    HRESULT record(const char* kind, BSTR id, BSTR document) {
        calls.push_back(
            {static_cast<long>(loop_.now().count()), kind, com::toUtf8(id), com::toUtf8(document)});
        return S_OK;
    }
    hartdtm::loop::EventLoop& loop_;
};

class FrameCommunicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(com::ComInstance<frame::FrameCommunication>::create(
                      nullptr, IFdtCommunication::iid, communication.putVoid(), line,
                      frame::CommunicationSettings{Ms{5}, Ms{300}}),
                  S_OK);
        impl = static_cast<frame::FrameCommunication*>(communication.get());
        ASSERT_EQ(com::ComInstance<RecordingCallback>::create(nullptr, IFdtCommunicationEvents::iid,
                                                              callback.putVoid(), loop),
                  S_OK);
        recorder = static_cast<RecordingCallback*>(callback.get());
    }
    void TearDown() override { impl->shutdown(); }

    static com::Bstr text(const std::string& s) { return com::Bstr::fromUtf8(s); }

    bool connect(const std::string& id = "C1", const std::string& address = "0") {
        const std::string doc =
            "<FDT xmlns=\"x-schema:FDTHARTCommunicationSchema.xml\" "
            "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">"
            "<ConnectRequest fdt:tag=\"PV-101\"><ShortAddress shortAddress=\"" +
            address + "\"/></ConnectRequest></FDT>";
        VARIANT_BOOL accepted = VARIANT_FALSE;
        EXPECT_EQ(communication->ConnectRequest(callback.get(), text(id).get(),
                                                text(std::string(idl::fdt::kHartProtocolId)).get(),
                                                text(doc).get(), &accepted),
                  S_OK);
        return accepted != VARIANT_FALSE;
    }
    bool transaction(const std::string& id, int command, const std::string& reference) {
        const std::string doc =
            "<FDT xmlns=\"x-schema:FDTHARTCommunicationSchema.xml\" "
            "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">"
            "<DataExchangeRequest commandNumber=\"" +
            std::to_string(command) + "\" communicationReference=\"" + reference + "\"/></FDT>";
        VARIANT_BOOL accepted = VARIANT_FALSE;
        EXPECT_EQ(communication->TransactionRequest(text(id).get(), text(doc).get(), &accepted),
                  S_OK);
        return accepted != VARIANT_FALSE;
    }
    bool disconnect(const std::string& id, const std::string& reference) {
        const std::string doc =
            "<FDT xmlns=\"x-schema:FDTHARTCommunicationSchema.xml\" "
            "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">"
            "<DisconnectRequest communicationReference=\"" +
            reference + "\"/></FDT>";
        VARIANT_BOOL accepted = VARIANT_FALSE;
        EXPECT_EQ(communication->DisconnectRequest(text(id).get(), text(doc).get(), &accepted),
                  S_OK);
        return accepted != VARIANT_FALSE;
    }
    std::string connected() {
        EXPECT_TRUE(connect());
        loop.advance(Ms{5});
        EXPECT_TRUE(impl->connected());
        return impl->communicationReference();
    }

    hartdtm::loop::VirtualClockLoop loop;
    hartdtm::loop::CurrentLoopScope scope{loop};
    FakeLine line;
    com::ComPtr<IFdtCommunication> communication;
    frame::FrameCommunication* impl = nullptr;
    com::ComPtr<IFdtCommunicationEvents> callback;
    RecordingCallback* recorder = nullptr;
};

TEST_F(FrameCommunicationTest, ConnectIsAnsweredAfterTheLatencyWithAFreshReference) {
    ASSERT_TRUE(connect());
    EXPECT_TRUE(recorder->calls.empty()) << "answers never come from inside the request";
    loop.advance(Ms{4});
    EXPECT_TRUE(recorder->calls.empty());
    loop.advance(Ms{1});
    ASSERT_EQ(recorder->calls.size(), 1u);
    const auto& call = recorder->calls.front();
    EXPECT_EQ(call.at, 5);
    EXPECT_EQ(call.invokeId, "C1");
    EXPECT_NE(call.document.find("communicationReference=\"00000002-0000-0000-0000-000000000001\""),
              std::string::npos)
        << call.document;
    EXPECT_TRUE(frametest::validate(call.document).ok());
    EXPECT_FALSE(connect("C2")) << "one connection at a time";
}

TEST_F(FrameCommunicationTest, NoDeviceAtTheAddressIsAnErrorAfterTheTimeout) {
    line.pollingAddress = 3;
    ASSERT_TRUE(connect("C1", "0"));
    loop.advance(Ms{299});
    EXPECT_TRUE(recorder->calls.empty());
    loop.advance(Ms{1});
    ASSERT_EQ(recorder->calls.size(), 1u);
    EXPECT_NE(recorder->calls[0].document.find("no device answers at short address 0"),
              std::string::npos);
    EXPECT_EQ(recorder->calls[0].document.find("communicationReference"), std::string::npos);
    EXPECT_FALSE(impl->connected());
    EXPECT_TRUE(connect("C2", "3")) << "a failed connect leaves the line free";
}

TEST_F(FrameCommunicationTest, RequestsAreCarriedOneAtATimeInOrder) {
    const std::string reference = connected();
    recorder->calls.clear();
    ASSERT_TRUE(transaction("T1", 12, reference));
    ASSERT_TRUE(transaction("T2", 13, reference));
    ASSERT_TRUE(transaction("T3", 16, reference));
    loop.advance(Ms{20});
    ASSERT_EQ(recorder->calls.size(), 3u);
    const long start = recorder->calls[0].at - 5;
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(recorder->calls[i].invokeId, "T" + std::to_string(i + 1));
        EXPECT_EQ(recorder->calls[i].at, start + 5 * static_cast<long>(i + 1));
    }
    EXPECT_EQ(line.commands, (std::vector<std::uint8_t>{12, 13, 16}));
    EXPECT_NE(recorder->calls[1].document.find("byteArray=\"0D\""), std::string::npos);
}

TEST_F(FrameCommunicationTest, ARequestFromInsideAnAnswerWaitsItsTurn) {
    const std::string reference = connected();
    recorder->calls.clear();
    recorder->onTransaction = [&] {
        if (recorder->calls.size() == 1) {
            EXPECT_TRUE(transaction("T2", 13, reference));
        }
    };
    ASSERT_TRUE(transaction("T1", 12, reference));
    loop.advance(Ms{5});
    ASSERT_EQ(recorder->calls.size(), 1u);
    loop.advance(Ms{5});
    ASSERT_EQ(recorder->calls.size(), 2u);
    EXPECT_EQ(recorder->calls[1].invokeId, "T2");
}

TEST_F(FrameCommunicationTest, SilenceAndLineFailuresBecomeCommunicationErrors) {
    const std::string reference = connected();
    recorder->calls.clear();
    LineAnswer silent;
    silent.kind = LineAnswer::Kind::NoAnswer;
    LineAnswer broken;
    broken.kind = LineAnswer::Kind::CommunicationError;
    broken.reason = "modem unplugged";
    line.answers = {silent, broken};
    impl->faults().dropAnswers = 1;
    ASSERT_TRUE(transaction("T1", 3, reference));  // the device is silent
    ASSERT_TRUE(transaction("T2", 3, reference));  // the line breaks
    ASSERT_TRUE(transaction("T3", 3, reference));  // the device answers, the answer is lost
    loop.advance(Ms{1000});
    ASSERT_EQ(recorder->calls.size(), 3u);
    EXPECT_EQ(recorder->calls[0].at, 305);
    EXPECT_NE(recorder->calls[0].document.find("no response from the device within 300 ms"),
              std::string::npos);
    EXPECT_EQ(recorder->calls[1].at, 310);
    EXPECT_NE(
        recorder->calls[1].document.find("communicationError=\"modem unplugged\" tag=\"PV-101\""),
        std::string::npos);
    EXPECT_EQ(recorder->calls[2].at, 610);
    for (const auto& call : recorder->calls)
        EXPECT_TRUE(frametest::validate(call.document).ok()) << call.document;
}

TEST_F(FrameCommunicationTest, ProgrammedRefusalsAreUsedUpOneByOne) {
    impl->faults().refuseConnect = 1;
    EXPECT_FALSE(connect("C1"));
    const std::string reference = connected();
    impl->faults().refuseTransaction = 1;
    EXPECT_FALSE(transaction("T1", 3, reference));
    EXPECT_TRUE(transaction("T2", 3, reference));
    impl->faults().refuseDisconnect = 1;
    EXPECT_FALSE(disconnect("D1", reference));
    EXPECT_TRUE(disconnect("D2", reference));
}

TEST_F(FrameCommunicationTest, WrongReferencesAreAnsweredWithErrors) {
    const std::string reference = connected();
    recorder->calls.clear();
    ASSERT_TRUE(transaction("T1", 3, "stale"));
    ASSERT_TRUE(disconnect("D1", "stale"));
    loop.advance(Ms{10});
    ASSERT_EQ(recorder->calls.size(), 2u);
    EXPECT_NE(recorder->calls[0].document.find("fdt:CommunicationError"), std::string::npos);
    EXPECT_NE(recorder->calls[1].document.find("<DisconnectResponse><fdt:CommunicationError"),
              std::string::npos)
        << recorder->calls[1].document;
    EXPECT_TRUE(impl->connected()) << "a disconnect for another reference keeps the connection";
    EXPECT_TRUE(line.commands.empty());

    ASSERT_TRUE(disconnect("D2", reference));
    loop.advance(Ms{5});
    EXPECT_FALSE(impl->connected());
    EXPECT_NE(recorder->calls.back().document.find("<DisconnectResponse communicationReference=\"" +
                                                   reference),
              std::string::npos);
}

TEST_F(FrameCommunicationTest, AbortDropsWhatIsPendingAndTheCallback) {
    const std::string reference = connected();
    recorder->calls.clear();
    ASSERT_TRUE(transaction("T1", 3, reference));
    ASSERT_EQ(communication->Abort(text("<FDT/>").get()), S_OK);
    loop.advance(Ms{1000});
    EXPECT_TRUE(recorder->calls.empty());
    EXPECT_FALSE(impl->connected());
    EXPECT_EQ(impl->pendingRequests(), 0u);
    EXPECT_FALSE(transaction("T2", 3, reference)) << "no callback left to answer through";
}

TEST_F(FrameCommunicationTest, RefusesWhatItCannotCarry) {
    VARIANT_BOOL accepted = VARIANT_TRUE;
    EXPECT_EQ(
        communication->ConnectRequest(callback.get(), text("C").get(), text("other-protocol").get(),
                                      text("<FDT/>").get(), &accepted),
        S_OK);
    EXPECT_EQ(accepted, VARIANT_FALSE);
    EXPECT_EQ(communication->TransactionRequest(text("T").get(), text("<FDT").get(), nullptr),
              E_POINTER);
    const std::string reference = connected();
    const std::string big(std::size_t{512}, 'A');
    const std::string doc =
        "<FDT xmlns=\"x-schema:FDTHARTCommunicationSchema.xml\" "
        "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">"
        "<DataExchangeRequest commandNumber=\"17\" communicationReference=\"" +
        reference + "\"><fdt:CommunicationData byteArray=\"" + big +
        "\"/></DataExchangeRequest></FDT>";
    EXPECT_EQ(communication->TransactionRequest(text("T").get(), text(doc).get(), &accepted), S_OK);
    EXPECT_EQ(accepted, VARIANT_FALSE) << "more data than a HART frame holds";
}

}  // namespace
