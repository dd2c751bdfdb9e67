#include "engine/communication/transfer_requests.h"

#include <exception>

#include "engine/communication/dtm_services.h"
#include "engine/communication/hart_channel.h"
#include "engine/description/dtm_exception.h"
#include "engine/parameters/device_object.h"
#include "engine/parameters/inconsistency_message.h"
#include "engine/parameters/value_parameter.h"

namespace engine::communication {
namespace {

bool downloadAllowed(HartChannel& channel, const std::string& invokeId) {
    IOuterDTM* outer = channel.outerDtm();
    if (outer == nullptr) return true;
    VARIANT_BOOL access = VARIANT_TRUE;
    const com::Bstr action = com::Bstr::fromUtf8("try_download");
    const com::Bstr id = com::Bstr::fromUtf8(invokeId);
    outer->tryAction(action.get(), id.get(), &access);
    return access != VARIANT_FALSE;
}

// The first parameter, in the container's order, that is out of range and
// writable; null when there is none.
ValueParameter* firstInconsistentWritable(const DeviceObject& device) {
    for (ParameterId id : device.idList()) {
        ValueParameter* parameter = device.find(id);
        if (parameter != nullptr && parameter->isOutOfRange() != 0 && parameter->isWritable())
            return parameter;
    }
    return nullptr;
}

std::string upDownloadList(HartChannel& channel, bool download) {
    IOuterDTM* outer = channel.outerDtm();
    if (outer == nullptr) return {};
    com::Bstr ids;
    outer->GetUpDownloadList(download ? VARIANT_TRUE : VARIANT_FALSE, ids.out());
    return ids.utf8();
}

TransferRequestResult requestTransfer(HartChannel& channel, bool download,
                                      const std::string& invokeId) {
    TransferRequestResult result;
    if (!channel.LockDataSet()) {
        channel.SendErrorMessage("Communication Error LockDataSet failed");
        return result;
    }
    result.lockGranted = true;
    const std::string list = upDownloadList(channel, download);
    result.started = channel.QueueTransfer(download, invokeId,
                                           [&] { return channel.QueueCommands(nullptr, list); });
    return result;
}

template <class Work>
HRESULT guarded(Work&& work) {
    try {
        work();
        return S_OK;
    } catch (const CDTMException&) {
        return E_POINTER;
    } catch (...) {
        return E_POINTER;
    }
}

}  // namespace

TransferRequestResult RequestDownload(HartChannel& channel, const std::string& invokeId) {
    try {
        if (!downloadAllowed(channel, invokeId)) return {};
        if (DeviceObject* device = channel.deviceObject()) {
            if (ValueParameter* parameter = firstInconsistentWritable(*device)) {
                if (DtmServices* dtm = channel.dtmObject()) {
                    const std::string message = inconsistencyMessage(
                        *parameter,
                        [&channel](std::string_view key) { return channel.translate(key); });
                    dtm->messageBox(message, kMessageBoxIconStop);
                }
                return {};
            }
        }
        return requestTransfer(channel, true, invokeId);
    } catch (...) {
        return {};
    }
}

TransferRequestResult RequestUpload(HartChannel& channel, const std::string& invokeId) {
    try {
        return requestTransfer(channel, false, invokeId);
    } catch (...) {
        return {};
    }
}

HRESULT DoAction(HartChannel& channel, BSTR* action, IDispatch* observer) {
    if (action == nullptr) return E_POINTER;
    const std::string script = com::toUtf8(*action);
    return guarded([&] { channel.RunScript(script, observer); });
}

HRESULT ClearActions(HartChannel& channel, IDispatch* observer) {
    return guarded([&] { channel.ClearActions(observer); });
}

HRESULT ExecuteAction(HartChannel& channel, BSTR* action, BSTR* invokeId) {
    if (action == nullptr || invokeId == nullptr) return E_POINTER;
    const std::string text = com::toUtf8(*action);
    const std::string id = com::toUtf8(*invokeId);
    return guarded([&] {
        if (text.find("OnDownloadFinished") != std::string::npos) {
            channel.SendTransferFinished(true, id, true);
        } else if (text.find("download") != std::string::npos) {
            channel.QueueTransfer(true, id, [&] {
                channel.RunScript(text, nullptr);
                return true;
            });
        }
    });
}

}  // namespace engine::communication
