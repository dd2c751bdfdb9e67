#include "positioner/basic_dtm.h"

#include <cstdint>
#include <exception>
#include <new>

#include "idl/fdt_dtm.h"
#include "platform/com/activation.h"
#include "positioner/description_files.h"
#include "positioner/engine_link.h"
#include "positioner/workflows.h"

namespace positioner {

namespace {

// No exception leaves an entry point: allocation failures and anything the
// workflows raise end the call with a failing result.
template <class Body>
HRESULT guarded(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

// The HART command number of an up/download event's paraID (bits 24 to 31).
int commandOf(const VARIANT& paraID) {
    return static_cast<int>(static_cast<std::uint32_t>(paraID.lVal) >> 24);
}

}  // namespace

std::span<const com::InterfaceEntry> BasicDTM::interfaces() {
    using Self = BasicDTM;
    static constexpr com::InterfaceEntry table[] = {
        com::entry<Self, IBasicDTM>(),
        com::entryAggregate<Self, &Self::engine_>(IDispatch::iid),
        com::entryAggregate<Self, &Self::engine_>(IDtm::iid),
        com::entryAggregate<Self, &Self::engine_>(IQadGenericDTMObject::iid),
        com::entryAggregate<Self, &Self::engine_>(IDtmInformation::iid),
        com::entryAggregate<Self, &Self::engine_>(IDtmDeviceIdentification::iid),
        com::entryAggregate<Self, &Self::engine_>(IDtmActiveXInformation::iid),
        com::entryAggregate<Self, &Self::engine_>(IDtmNotification::iid),
        com::entryAggregate<Self, &Self::engine_>(IDtmParameter::iid),
        com::entry<Self, IPersistPropertyBag>(),
        com::entryAs<Self, IPersistPropertyBag>(IPersist::iid),
        com::entry<Self, IPersistStreamInit>(),
        com::entryAggregate<Self, &Self::engine_>(IFdtCommunicationEvents::iid),
        com::entryAggregate<Self, &Self::engine_>(IDtmOnlineParameter::iid),
        com::entry<Self, IObserver>(),
        com::entry<Self, IOuterDTM>(),
    };
    return table;
}

BasicDTM::BasicDTM() = default;

BasicDTM::~BasicDTM() {
    // The workflows use the engine; they go before it.
    workflows_.reset();
    link_.reset();
    engine_.reset();
}

HRESULT BasicDTM::finalConstruct() {
    return guarded([&]() -> HRESULT {
        HRESULT hr = CoCreateInstance(CLSID_QadGenericDTMObject, controllingUnknown(),
                                      CLSCTX_INPROC_SERVER, IUnknown::iid, engine_.putVoid());
        if (FAILED(hr)) return hr;
        // The engine's interfaces count on this object: the reference that the
        // query adds is given back at once, as aggregation requires.
        hr = engine_->QueryInterface(IQadGenericDTMObject::iid,
                                     reinterpret_cast<void**>(&engineApi_));
        if (FAILED(hr) || engineApi_ == nullptr) return FAILED(hr) ? hr : E_NOINTERFACE;
        engineApi_->Release();

        const std::optional<std::string> directory = moduleDirectory();
        if (!directory) return E_FAIL;
        const DescriptionFiles files = descriptionFilesIn(*directory);
        const com::Bstr zor = com::Bstr::fromUtf8(files.zorFile);
        const com::Bstr desc = com::Bstr::fromUtf8(files.descFile);
        const com::Bstr icon = com::Bstr::fromUtf8(files.iconFile);
        const com::Bstr language = com::Bstr::fromUtf8(files.languageFile);
        hr = engineApi_->SetDeviceDescription(zor.get(), desc.get(), icon.get(), language.get());
        if (FAILED(hr)) return hr;

        link_ = std::make_unique<EngineLink>(engineApi_, [this] { return selfObserver(); });
        workflows_ = std::make_unique<Workflows>(*link_);
        return S_OK;
    });
}

IObserver* BasicDTM::selfObserver() {
    if (!selfObserver_)
        controllingUnknown()->QueryInterface(IObserver::iid, selfObserver_.putVoid());
    return selfObserver_.get();
}

// --- IDispatch ---

com::ComPtr<IDispatch> BasicDTM::engineDispatch() const {
    com::ComPtr<IDispatch> dispatch;
    if (engine_) engine_->QueryInterface(IDispatch::iid, dispatch.putVoid());
    return dispatch;
}

HRESULT BasicDTM::GetTypeInfoCount(UINT* pctinfo) {
    const com::ComPtr<IDispatch> dispatch = engineDispatch();
    return dispatch ? dispatch->GetTypeInfoCount(pctinfo) : E_NOTIMPL;
}

HRESULT BasicDTM::GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) {
    const com::ComPtr<IDispatch> dispatch = engineDispatch();
    return dispatch ? dispatch->GetTypeInfo(iTInfo, lcid, ppTInfo) : E_NOTIMPL;
}

HRESULT BasicDTM::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                DISPID* rgDispId) {
    const com::ComPtr<IDispatch> dispatch = engineDispatch();
    return dispatch ? dispatch->GetIDsOfNames(riid, rgszNames, cNames, lcid, rgDispId) : E_NOTIMPL;
}

HRESULT BasicDTM::Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                         DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                         UINT* puArgErr) {
    const com::ComPtr<IDispatch> dispatch = engineDispatch();
    if (!dispatch) return E_NOTIMPL;
    return dispatch->Invoke(dispIdMember, riid, lcid, wFlags, pDispParams, pVarResult, pExcepInfo,
                            puArgErr);
}

// --- persistence ---

HRESULT BasicDTM::GetClassID(CLSID* pClassID) {
    if (!pClassID) return E_POINTER;
    *pClassID = CLSID_BasicDTM;
    return S_OK;
}

HRESULT BasicDTM::InitNew() {
    return S_OK;
}

template <class Itf, class Call>
HRESULT BasicDTM::forwardPersistence(Call&& call) {
    com::ComPtr<Itf> inner;
    const HRESULT hr = engine_ ? engine_->QueryInterface(Itf::iid, inner.putVoid()) : E_NOINTERFACE;
    if (FAILED(hr) || !inner) return FAILED(hr) ? hr : E_NOINTERFACE;
    return call(*inner.get());
}

HRESULT BasicDTM::Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) {
    return forwardPersistence<IPersistPropertyBag>(
        [&](IPersistPropertyBag& p) { return p.Load(pPropBag, pErrorLog); });
}

HRESULT BasicDTM::Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) {
    return forwardPersistence<IPersistPropertyBag>(
        [&](IPersistPropertyBag& p) { return p.Save(pPropBag, fClearDirty, fSaveAllProperties); });
}

HRESULT BasicDTM::IsDirty() {
    return forwardPersistence<IPersistStreamInit>(
        [](IPersistStreamInit& p) { return p.IsDirty(); });
}

HRESULT BasicDTM::Load(IStream* pStm) {
    return forwardPersistence<IPersistStreamInit>(
        [&](IPersistStreamInit& p) { return p.Load(pStm); });
}

HRESULT BasicDTM::Save(IStream* pStm, BOOL fClearDirty) {
    return forwardPersistence<IPersistStreamInit>(
        [&](IPersistStreamInit& p) { return p.Save(pStm, fClearDirty); });
}

HRESULT BasicDTM::GetSizeMax(ULARGE_INTEGER*) {
    return E_NOTIMPL;
}

// --- IObserver ---

HRESULT BasicDTM::Changed(VARIANT para_id) {
    return guarded([&] {
        if (workflows_) workflows_->changed(para_id.lVal);
        return S_OK;
    });
}

HRESULT BasicDTM::Finished(VARIANT) {
    return E_NOTIMPL;
}

HRESULT BasicDTM::GetOwnerID(LONG* owner_id) {
    if (!owner_id) return E_POINTER;
    const auto address = reinterpret_cast<std::uintptr_t>(this);
    const auto folded =
        static_cast<std::uint32_t>(address ^ (static_cast<std::uint64_t>(address) >> 32));
    *owner_id = static_cast<LONG>(folded != 0 ? folded : 1);
    return S_OK;
}

// --- IOuterDTM ---

HRESULT BasicDTM::OnInitialized() {
    return guarded([&] {
        if (workflows_) workflows_->initialise();
        return S_OK;
    });
}

HRESULT BasicDTM::OnUpDownload(VARIANT_BOOL preEvent, VARIANT paraID, VARIANT_BOOL,
                               VARIANT_BOOL* cancel) {
    if (preEvent != VARIANT_FALSE && !cancel) return E_POINTER;
    return guarded([&] {
        if (!workflows_) return S_OK;
        const int command = commandOf(paraID);
        if (preEvent != VARIANT_FALSE) {
            bool veto = false;
            workflows_->beforeTransfer(command, veto);
            if (veto) *cancel = VARIANT_TRUE;
        } else {
            workflows_->afterTransfer(command);
        }
        return S_OK;
    });
}

HRESULT BasicDTM::OnReleased() {
    selfObserver_.reset();
    return S_OK;
}

HRESULT BasicDTM::GetUpDownloadList(VARIANT_BOOL download, BSTR* ids) {
    if (!ids) return E_POINTER;
    return guarded([&] {
        BSTR list = com::allocBstr(download != VARIANT_FALSE ? kDownloadList : kUploadList);
        if (!list) return E_OUTOFMEMORY;
        SysFreeString(*ids);
        *ids = list;
        return S_OK;
    });
}

HRESULT BasicDTM::tryAction(BSTR, BSTR, VARIANT_BOOL* access) {
    return access ? S_OK : E_POINTER;
}

HRESULT BasicDTM::OnOnlineStateChanged() {
    return guarded([&] {
        if (workflows_) workflows_->onlineStateChanged();
        return S_OK;
    });
}

}  // namespace positioner
