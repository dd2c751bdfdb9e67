// Feeds arbitrary action scripts and response documents to a connected HART
// channel that has a transaction in flight. Input: the script up to the first
// line feed, the frame's response after it. The response answers the entry in
// flight, then an unknown invoke id, then the connect; afterwards the queue is
// drained with well-formed answers so that every queued entry is completed.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/communication/dtm_services.h"
#include "engine/communication/hart_channel.h"
#include "engine/communication/transfer_requests.h"
#include "engine/description/description_document.h"
#include "engine/description/description_namespaces.h"
#include "engine/parameters/device_object.h"
#include "engine/parameters/model_loader.h"
#include "idl/fdt_frame.h"
#include "platform/com/no_late_binding.h"
#include "platform/loop/virtual_clock_loop.h"

namespace {

using namespace engine;
using namespace engine::communication;

template <class Itf>
class Stub : public com::NoLateBinding<Itf> {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IUnknown::iid || riid == IDispatch::iid || riid == Itf::iid) {
            *ppv = static_cast<Itf*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
};

// Accepts every request and remembers the last transaction's invoke id.
class RecordingFrame : public Stub<IFdtCommunication> {
public:
    HRESULT Abort(BSTR) override { return S_OK; }
    HRESULT ConnectRequest(IFdtCommunicationEvents*, BSTR invokeId, BSTR, BSTR,
                           VARIANT_BOOL* accepted) override {
        lastConnect = com::toUtf8(invokeId);
        *accepted = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT DisconnectRequest(BSTR, BSTR, VARIANT_BOOL* accepted) override {
        *accepted = VARIANT_TRUE;
        return S_OK;
    }
    HRESULT TransactionRequest(BSTR invokeId, BSTR, VARIANT_BOOL* accepted) override {
        lastTransaction = com::toUtf8(invokeId);
        *accepted = VARIANT_TRUE;
        return S_OK;
    }
    std::string lastConnect;
    std::string lastTransaction;
};

// Message boxes answer "cancel", so a response code never asks for a repetition.
class Services : public DtmServices {
public:
    explicit Services(DeviceObject& device) : device_(device) {}
    int32_t messageBox(const std::string&, int32_t) override { return 2; }
    void setParameterValue(ParameterId id, const std::string& text) override {
        device_.setValue(id, text, 0);
    }

private:
    DeviceObject& device_;
};

struct Model {
    Model()
        : deviceDocument(
              loadDescriptionDocument(std::string(HARTDTM_SOURCE_ROOT) +
                                          "/tests/data/engine/communication/channel_device.xml",
                                      kDeviceDescriptionNamespace)),
          dtmDocument(loadDescriptionDocument(
              std::string(HARTDTM_SOURCE_ROOT) + "/tests/data/engine/communication/channel_dtm.xml",
              kDtmDescriptionNamespace)) {
        loadModel(device, deviceDocument, dtmDocument);
    }
    xml::Document deviceDocument;
    xml::Document dtmDocument;
    DeviceObject device;
};

const char kConnectedResponse[] =
    "<FDT xmlns=\"x-schema:FDTHARTCommunicationSchema.xml\"><ConnectResponse "
    "communicationReference=\"r\"/></FDT>";
const char kAnswer[] =
    "<FDT xmlns=\"x-schema:FDTHARTCommunicationSchema.xml\" "
    "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">"
    "<DataExchangeResponse><Status deviceStatus=\"00\"/><fdt:CommunicationData "
    "byteArray=\"3f8000001234\"/>"
    "</DataExchangeResponse></FDT>";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Model* model = new Model();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\n');
    const std::string script(input.substr(0, split));
    const std::string response(split == std::string_view::npos ? std::string_view()
                                                               : input.substr(split + 1));

    hartdtm::loop::VirtualClockLoop loop;
    const hartdtm::loop::CurrentLoopScope loopScope(loop);
    RecordingFrame frame;
    Services services(model->device);
    HartChannel channel;
    ChannelBindings bindings;
    bindings.deviceObject = &model->device;
    bindings.dtmObject = &services;
    channel.Init(bindings);
    channel.SetCommunication(&frame);
    loop.advance(hartdtm::loop::Milliseconds(10));
    channel.OnConnectResponse(frame.lastConnect, kConnectedResponse);
    channel.QueueCommands(nullptr, "upload[3,155,200]");

    // Through the private interface's entry point, which turns exceptions of
    // the model into E_POINTER.
    const com::Bstr scriptText = com::Bstr::fromUtf8(script);
    BSTR scriptArgument = scriptText.get();
    DoAction(channel, &scriptArgument, nullptr);
    channel.OnTransactionResponse(frame.lastTransaction, response);
    channel.OnTransactionResponse("00000000-0000-0000-0000-000000000000", response);
    channel.OnConnectResponse(frame.lastConnect, response);

    // Drain what is left; every answer completes the entry in flight.
    for (size_t guard = 0; guard < 4096 && channel.IsOnline(); ++guard) {
        const auto queue = channel.queueSnapshot();
        if (queue.empty() || !queue.front().sent) break;
        channel.OnTransactionResponse(queue.front().invokeId, kAnswer);
    }
    loop.advance(hartdtm::loop::Milliseconds(200));
    channel.Shutdown();
    return 0;
}
