#include "studio/view_tab.h"

#include <QScrollArea>
#include <QVBoxLayout>

#include "frame/frame_documents.h"
#include "idl/dtm_view_hosting.h"
#include "idl/fdt_dtm.h"
#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "studio/device_session.h"

namespace studio {

ViewTab::ViewTab(std::string tag, std::string invokeId, long functionId)
    : tag_(std::move(tag)), invokeId_(std::move(invokeId)), functionId_(functionId) {}

ViewTab* ViewTab::open(DeviceSession& device, long functionId, const std::string& invokeId,
                       QString& error) {
    const com::ComPtr<IUnknown> dtm = device.frame().dtm();
    const auto info =
        dtm ? dtm.as<IDtmActiveXInformation>() : com::ComPtr<IDtmActiveXInformation>();
    const auto dtmItf = dtm ? dtm.as<IDtm>() : com::ComPtr<IDtm>();
    if (!info || !dtmItf) {
        error = "the DTM has no views";
        return nullptr;
    }
    const std::string call = frame::functionCallDocument(functionId);
    com::Bstr progId;
    if (FAILED(info->GetActiveXProgId(com::Bstr::fromUtf8(call).get(), progId.out())) ||
        progId.isNull() || progId.length() == 0) {
        error = QStringLiteral("the DTM names no view for function %1").arg(functionId);
        return nullptr;
    }
    CLSID clsid{};
    if (FAILED(CLSIDFromProgID(progId.get(), &clsid))) {
        error = QString::fromStdString("the view " + progId.utf8() + " is not registered");
        return nullptr;
    }
    std::unique_ptr<ViewTab> tab(new ViewTab(device.identity().tag, invokeId, functionId));
    HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IDtmActiveXControl::iid,
                                    tab->control_.putVoid());
    if (FAILED(hr)) {
        error = QString::fromStdString("cannot create the view " + progId.utf8());
        return nullptr;
    }
    VARIANT_BOOL built = VARIANT_FALSE;
    hr = tab->control_->Init(com::Bstr::fromUtf8(invokeId).get(), com::Bstr::fromUtf8(call).get(),
                             dtmItf.get(), &built);
    void* widget = nullptr;
    if (SUCCEEDED(hr) && built != VARIANT_FALSE) {
        if (const auto hosting = tab->control_.as<IDtmViewHosting>()) hosting->GetWidget(&widget);
    }
    if (!widget) {
        error = QString::fromStdString("the view " + progId.utf8() + " did not open function " +
                                       std::to_string(functionId));
        tab->release();
        return nullptr;
    }
    auto* layout = new QVBoxLayout(tab.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(static_cast<QWidget*>(widget));
    return tab.release();
}

ViewTab::~ViewTab() {
    release();
}

void ViewTab::release() {
    if (!control_) return;
    com::ComPtr<IDtmActiveXControl> control = std::move(control_);
    VARIANT_BOOL released = VARIANT_FALSE;
    control->PrepareToRelease(&released);
    control.reset();
}

}  // namespace studio
