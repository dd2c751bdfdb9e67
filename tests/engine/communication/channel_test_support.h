#pragma once
// Test doubles around a HartChannel: a scripted frame communication interface
// that records requests and lets the test answer them, a frame event sink and
// container, an outer DTM, the DTM object's services and an observer. All live
// on the stack of a test; their reference counts only count.

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/communication/dtm_services.h"
#include "engine/communication/hart_channel.h"
#include "engine/description/description_document.h"
#include "engine/description/description_namespaces.h"
#include "engine/dtm/language_table.h"
#include "engine/parameters/device_object.h"
#include "engine/parameters/model_loader.h"
#include "engine/parameters/value_parameter.h"
#include "idl/fdt_frame.h"
#include "platform/com/no_late_binding.h"
#include "platform/loop/virtual_clock_loop.h"

namespace engine::communication::testing {

using namespace std::chrono_literals;

inline std::string fixture(const std::string& name) {
    return std::string(HARTDTM_TEST_DATA) + "/engine/communication/" + name;
}

inline std::string text(BSTR value) {
    return com::toUtf8(value);
}

// IUnknown for a stack object implementing First and Rest.
template <class First, class... Rest>
class FakeCom : public com::NoLateBinding<First, Rest...> {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) return E_POINTER;
        *ppv = nullptr;
        if (riid == IUnknown::iid || riid == IDispatch::iid || riid == First::iid) {
            *ppv = static_cast<First*>(this);
        } else {
            (void)((riid == Rest::iid ? (*ppv = static_cast<Rest*>(this), true) : false) || ...);
        }
        if (*ppv == nullptr) return E_NOINTERFACE;
        ++references;
        return S_OK;
    }
    ULONG AddRef() override { return ++references; }
    ULONG Release() override { return --references; }

    ULONG references = 0;
};

// The frame's HART communication interface: records every request and
// answers each with the accept flag of its kind.
class ScriptedCommunication : public FakeCom<IFdtCommunication> {
public:
    enum class Kind { Abort, Connect, Disconnect, Transaction };
    struct Request {
        Kind kind;
        std::string invokeId;
        std::string protocolId;
        std::string document;
    };

    HRESULT Abort(BSTR abortRequest) override {
        requests.push_back({Kind::Abort, {}, {}, text(abortRequest)});
        return S_OK;
    }
    HRESULT ConnectRequest(IFdtCommunicationEvents* events, BSTR invokeId, BSTR protocolId,
                           BSTR request, VARIANT_BOOL* accepted) override {
        callback = events;
        requests.push_back({Kind::Connect, text(invokeId), text(protocolId), text(request)});
        *accepted = acceptConnect ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT DisconnectRequest(BSTR invokeId, BSTR request, VARIANT_BOOL* accepted) override {
        requests.push_back({Kind::Disconnect, text(invokeId), {}, text(request)});
        *accepted = acceptDisconnect ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT TransactionRequest(BSTR invokeId, BSTR request, VARIANT_BOOL* accepted) override {
        requests.push_back({Kind::Transaction, text(invokeId), {}, text(request)});
        *accepted = acceptTransaction ? VARIANT_TRUE : VARIANT_FALSE;
        if (onTransaction) onTransaction(requests.back());
        return S_OK;
    }

    std::vector<Request> of(Kind kind) const {
        std::vector<Request> found;
        for (const Request& request : requests) {
            if (request.kind == kind) found.push_back(request);
        }
        return found;
    }
    std::vector<Request> transactions() const { return of(Kind::Transaction); }

    std::vector<Request> requests;
    bool acceptConnect = true;
    bool acceptDisconnect = true;
    bool acceptTransaction = true;
    IFdtCommunicationEvents* callback = nullptr;
    // Runs inside TransactionRequest (after the request was recorded), so a
    // test can answer from inside the call as some frames do.
    std::function<void(const Request&)> onTransaction;
};

// The DTM object's communication events interface, handed to ConnectRequest.
class EventsCallback : public FakeCom<IFdtCommunicationEvents> {
public:
    HRESULT OnAbort(BSTR) override { return S_OK; }
    HRESULT OnConnectResponse(BSTR, BSTR) override { return S_OK; }
    HRESULT OnDisconnectResponse(BSTR, BSTR) override { return S_OK; }
    HRESULT OnTransactionResponse(BSTR, BSTR) override { return S_OK; }
};

// The frame's event sink and container.
class FakeFrame : public FakeCom<IFdtEvents, IFdtContainer> {
public:
    struct Progress {
        std::string title;
        int32_t percent;
        bool show;
    };
    struct Finished {
        std::string invokeId;
        bool success;
    };

    HRESULT OnParametersChanged(BSTR, BSTR) override { return S_OK; }
    HRESULT OnErrorMessage(BSTR, BSTR message) override {
        errors.push_back(text(message));
        return S_OK;
    }
    HRESULT OnProgress(BSTR, BSTR title, LONG percent, VARIANT_BOOL show) override {
        progress.push_back({text(title), percent, show != VARIANT_FALSE});
        return S_OK;
    }
    HRESULT OnUploadFinished(BSTR invokeId, VARIANT_BOOL success) override {
        uploads.push_back({text(invokeId), success == VARIANT_TRUE});
        return S_OK;
    }
    HRESULT OnDownloadFinished(BSTR invokeId, VARIANT_BOOL success) override {
        downloads.push_back({text(invokeId), success == VARIANT_TRUE});
        return S_OK;
    }
    HRESULT OnApplicationClosed(BSTR) override { return S_OK; }
    HRESULT OnFunctionChanged(BSTR systemTag) override {
        EXPECT_EQ(text(systemTag), "DTM-7");
        ++functionChanges;
        return S_OK;
    }
    HRESULT OnOnlineStateChanged(BSTR, VARIANT_BOOL online) override {
        onlineStates.push_back(online == VARIANT_TRUE);
        return S_OK;
    }
    HRESULT OnPreparedToRelease(BSTR) override { return S_OK; }
    HRESULT OnPreparedToReleaseCommunication(BSTR) override {
        ++preparedToReleaseCommunication;
        return S_OK;
    }

    HRESULT LockDataSet(BSTR systemTag, VARIANT_BOOL* result) override {
        EXPECT_EQ(text(systemTag), "DTM-7");
        ++locks;
        *result = grantLock ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    }
    HRESULT UnlockDataSet(BSTR, VARIANT_BOOL* result) override {
        ++unlocks;
        *result = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT GetXmlSchemaPath(BSTR*) override { return E_FAIL; }

    std::vector<std::string> errors;
    std::vector<Progress> progress;
    std::vector<Finished> uploads;
    std::vector<Finished> downloads;
    std::vector<bool> onlineStates;
    int functionChanges = 0;
    int preparedToReleaseCommunication = 0;
    int locks = 0;
    int unlocks = 0;
    bool grantLock = true;
};

// The outer DTM: records the transfer events and vetoes chosen commands.
class FakeOuterDtm : public FakeCom<IOuterDTM> {
public:
    struct UpDownload {
        bool preEvent;
        int32_t paraId;
        bool download;

        friend bool operator==(const UpDownload&, const UpDownload&) = default;
    };

    HRESULT OnInitialized() override { return S_OK; }
    HRESULT OnUpDownload(VARIANT_BOOL preEvent, VARIANT paraID, VARIANT_BOOL download,
                         VARIANT_BOOL* cancel) override {
        EXPECT_EQ(paraID.vt, VT_I4);
        EXPECT_EQ(*cancel, VARIANT_FALSE);
        events.push_back({preEvent != VARIANT_FALSE, paraID.lVal, download != VARIANT_FALSE});
        if (preEvent != VARIANT_FALSE && vetoed.count(paraID.lVal) != 0) *cancel = VARIANT_TRUE;
        if (onUpDownload) onUpDownload(events.back());
        return S_OK;
    }
    HRESULT OnReleased() override { return S_OK; }
    HRESULT GetUpDownloadList(VARIANT_BOOL download, BSTR* ids) override {
        SysFreeString(*ids);
        *ids = com::allocBstr(download != VARIANT_FALSE ? downloadList : uploadList);
        return S_OK;
    }
    HRESULT tryAction(BSTR action, BSTR invokeID, VARIANT_BOOL* access) override {
        EXPECT_EQ(*access, VARIANT_TRUE);
        tried.push_back(text(action) + " " + text(invokeID));
        if (!allowDownload) *access = VARIANT_FALSE;
        return S_OK;
    }
    HRESULT OnOnlineStateChanged() override {
        ++onlineChanges;
        return S_OK;
    }

    std::vector<UpDownload> preEvents() const {
        std::vector<UpDownload> found;
        for (const UpDownload& event : events) {
            if (event.preEvent) found.push_back(event);
        }
        return found;
    }

    std::vector<UpDownload> events;
    std::set<int32_t> vetoed;
    std::function<void(const UpDownload&)> onUpDownload;
    std::string uploadList;
    std::string downloadList;
    std::vector<std::string> tried;
    bool allowDownload = true;
    int onlineChanges = 0;
};

// An observer that queued work and hears of its end.
class FakeRequester : public FakeCom<IObserver> {
public:
    explicit FakeRequester(LONG ownerId) : ownerId_(ownerId) {}
    HRESULT Changed(VARIANT) override { return S_OK; }
    HRESULT Finished(VARIANT para_id) override {
        EXPECT_EQ(para_id.vt, VT_BSTR);
        finished.push_back(text(para_id.bstrVal));
        if (onFinished) onFinished();
        return S_OK;
    }
    HRESULT GetOwnerID(LONG* owner_id) override {
        *owner_id = ownerId_;
        return S_OK;
    }

    std::vector<std::string> finished;
    std::function<void()> onFinished;

private:
    LONG ownerId_;
};

// The DTM object's services: message boxes answered from a list, values set
// on the model.
class FakeDtmServices : public DtmServices {
public:
    struct Box {
        std::string text;
        int32_t flags;
    };

    int32_t messageBox(const std::string& message, int32_t flags) override {
        boxes.push_back({message, flags});
        if (answers.empty()) return 2;
        const int32_t answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void setParameterValue(ParameterId id, const std::string& value) override {
        if (throwOnSet) throw std::runtime_error("framework failure");
        values.emplace_back(id, value);
        if (device != nullptr) device->setValue(id, value, kDisplayMode);
    }

    DeviceObject* device = nullptr;
    std::vector<Box> boxes;
    std::deque<int32_t> answers;
    std::vector<std::pair<ParameterId, std::string>> values;
    bool throwOnSet = false;
};

// FDT response documents as the frame writes them.
inline std::string fdtDocument(const std::string& body) {
    return "<?xml version=\"1.0\"?>\n<FDT xmlns=\"x-schema:FDTHARTCommunicationSchema.xml\" "
           "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">" +
           body + "</FDT>";
}
inline std::string connectResponse(const std::string& reference) {
    return fdtDocument("<ConnectResponse communicationReference=\"" + reference + "\"/>");
}
inline std::string disconnectResponse(const std::string& reference) {
    return fdtDocument("<DisconnectResponse communicationReference=\"" + reference + "\"/>");
}
inline std::string communicationError(const std::string& reason, const std::string& tag) {
    return fdtDocument("<fdt:CommunicationError communicationError=\"" + reason + "\" tag=\"" +
                       tag + "\"/>");
}
// A DataExchangeResponse; statusChildren go inside Status, byteArray (when
// not empty) into CommunicationData.
inline std::string dataExchangeResponse(const std::string& byteArray,
                                        const std::string& statusChildren = "",
                                        const std::string& deviceStatus = "00") {
    std::string body = "<DataExchangeResponse><Status deviceStatus=\"" + deviceStatus + "\">" +
                       statusChildren + "</Status>";
    if (!byteArray.empty()) body += "<fdt:CommunicationData byteArray=\"" + byteArray + "\"/>";
    return fdtDocument(body + "</DataExchangeResponse>");
}
inline std::string commandResponse(const std::string& value) {
    return "<CommandResponse value=\"" + value + "\"/>";
}
inline std::string communicationStatus(const std::string& value) {
    return "<CommunicationStatus value=\"" + value + "\"/>";
}

// A channel bound to the fixture description and the doubles above, on a
// virtual clock.
class ChannelTest : public ::testing::Test {
protected:
    ChannelTest()
        : deviceDocument(
              loadDescriptionDocument(fixture("channel_device.xml"), kDeviceDescriptionNamespace)),
          dtmDocument(
              loadDescriptionDocument(fixture("channel_dtm.xml"), kDtmDescriptionNamespace)) {
        loadModel(device, deviceDocument, dtmDocument);
        services.device = &device;
        translator.setLanguageCode("en");
        translator.parse("[1]CMDResponse32\n|en| Device busy\n[2]sync_title\n|en| Reading\n");
    }

    void init(std::shared_ptr<const xml::SchemaCache> schemas = nullptr) {
        ChannelBindings bindings;
        bindings.schemaCache = std::move(schemas);
        bindings.deviceObject = &device;
        bindings.dtmObject = &services;
        bindings.outerDtm = &outer;
        bindings.eventsCallback = static_cast<IFdtCommunicationEvents*>(&callback);
        bindings.frameContainer = static_cast<IFdtEvents*>(&frame);
        bindings.systemTag = "DTM-7";
        bindings.translator = &translator;
        channel.Init(bindings);
    }

    // Init, SetCommunication, the ConnectRequest 10 ms later, answered with reference.
    void connect(const std::string& reference = "ref-1",
                 std::shared_ptr<const xml::SchemaCache> schemas = nullptr) {
        init(std::move(schemas));
        channel.SetCommunication(&communication);
        loop.advance(10ms);
        ASSERT_EQ(communication.of(ScriptedCommunication::Kind::Connect).size(), 1u);
        channel.OnConnectResponse(communication.requests.back().invokeId,
                                  connectResponse(reference));
        ASSERT_TRUE(channel.IsOnline());
    }

    // The last TransactionRequest, answered with response.
    void answerLast(const std::string& response) {
        ASSERT_FALSE(communication.transactions().empty());
        channel.OnTransactionResponse(communication.transactions().back().invokeId, response);
    }

    // The command numbers of the queue, front first.
    std::vector<uint32_t> queuedCommands() const {
        std::vector<uint32_t> numbers;
        for (const Transaction& entry : channel.queueSnapshot()) {
            numbers.push_back(commandNumberOf(parseCommandKey(entry.commandKey)));
        }
        return numbers;
    }

    // The commandNumber attributes of the TransactionRequests so far.
    std::vector<std::string> sentCommands() const {
        std::vector<std::string> numbers;
        for (const auto& request : communication.transactions()) {
            const auto start = request.document.find("commandNumber=\"") + 15;
            numbers.push_back(
                request.document.substr(start, request.document.find('"', start) - start));
        }
        return numbers;
    }

    hartdtm::loop::VirtualClockLoop loop;
    hartdtm::loop::CurrentLoopScope loopScope{loop};
    xml::Document deviceDocument;
    xml::Document dtmDocument;
    DeviceObject device;
    LanguageTable translator;
    FakeDtmServices services;
    ScriptedCommunication communication;
    EventsCallback callback;
    FakeFrame frame;
    FakeOuterDtm outer;
    FakeRequester view{7};
    FakeRequester other{8};
    // Last: it goes first, before everything it holds references to.
    HartChannel channel;
};

}  // namespace engine::communication::testing
