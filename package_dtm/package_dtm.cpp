#include "package_dtm/package_dtm.h"

#include <cstdint>
#include <new>
#include <optional>
#include <string>

#include "idl/fdt_dtm.h"
#include "package_dtm/package_definition.h"
#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "positioner/description_files.h"
#include "positioner/engine_link.h"

namespace package_dtm {

namespace {

// No exception leaves an entry point.
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

std::string inDirectory(const std::string& directory, std::string_view file) {
    return directory + std::string(file);
}

// The n-th of the comma-separated keys, the last one when there are fewer.
std::string_view nthKey(std::string_view keys, std::int64_t n) {
    for (std::int64_t i = 0; n < 0 || i < n; ++i) {
        const std::size_t comma = keys.find(',');
        if (comma == std::string_view::npos) break;
        keys.remove_prefix(comma + 1);
    }
    return keys.substr(0, keys.find(','));
}

// The HART command number of an up/download event's paraID (bits 24 to 31).
int commandOf(const VARIANT& paraID) {
    return static_cast<int>(static_cast<std::uint32_t>(paraID.lVal) >> 24);
}

}  // namespace

std::span<const com::InterfaceEntry> PackageDTM::interfaces() {
    using Self = PackageDTM;
    static constexpr com::InterfaceEntry table[] = {
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

PackageDTM::PackageDTM() = default;

PackageDTM::~PackageDTM() {
    link_.reset();
    engine_.reset();
}

HRESULT PackageDTM::finalConstruct() {
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

        const std::optional<std::string> directory = positioner::moduleDirectory();
        if (!directory) return E_FAIL;
        const PackageDefinition& package = thisPackage();
        const com::Bstr zor = com::Bstr::fromUtf8(inDirectory(*directory, package.zorFile));
        const com::Bstr desc = com::Bstr::fromUtf8(inDirectory(*directory, package.descFile));
        const com::Bstr icon = com::Bstr::fromUtf8(inDirectory(*directory, package.iconFile));
        const com::Bstr language =
            com::Bstr::fromUtf8(inDirectory(*directory, package.languageFile));
        hr = engineApi_->SetDeviceDescription(zor.get(), desc.get(), icon.get(), language.get());
        if (FAILED(hr)) return hr;

        link_ =
            std::make_unique<positioner::EngineLink>(engineApi_, [this] { return selfObserver(); });
        return S_OK;
    });
}

IObserver* PackageDTM::selfObserver() {
    if (!selfObserver_)
        controllingUnknown()->QueryInterface(IObserver::iid, selfObserver_.putVoid());
    return selfObserver_.get();
}

// --- persistence ---

HRESULT PackageDTM::GetClassID(CLSID* pClassID) {
    if (!pClassID) return E_POINTER;
    *pClassID = thisPackage().clsid;
    return S_OK;
}

HRESULT PackageDTM::InitNew() {
    return S_OK;
}

template <class Itf, class Call>
HRESULT PackageDTM::forwardPersistence(Call&& call) {
    com::ComPtr<Itf> inner;
    const HRESULT hr = engine_ ? engine_->QueryInterface(Itf::iid, inner.putVoid()) : E_NOINTERFACE;
    if (FAILED(hr) || !inner) return FAILED(hr) ? hr : E_NOINTERFACE;
    return call(*inner.get());
}

HRESULT PackageDTM::Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) {
    return forwardPersistence<IPersistPropertyBag>(
        [&](IPersistPropertyBag& p) { return p.Load(pPropBag, pErrorLog); });
}

HRESULT PackageDTM::Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) {
    return forwardPersistence<IPersistPropertyBag>(
        [&](IPersistPropertyBag& p) { return p.Save(pPropBag, fClearDirty, fSaveAllProperties); });
}

HRESULT PackageDTM::IsDirty() {
    return forwardPersistence<IPersistStreamInit>(
        [](IPersistStreamInit& p) { return p.IsDirty(); });
}

HRESULT PackageDTM::Load(IStream* pStm) {
    return forwardPersistence<IPersistStreamInit>(
        [&](IPersistStreamInit& p) { return p.Load(pStm); });
}

HRESULT PackageDTM::Save(IStream* pStm, BOOL fClearDirty) {
    return forwardPersistence<IPersistStreamInit>(
        [&](IPersistStreamInit& p) { return p.Save(pStm, fClearDirty); });
}

HRESULT PackageDTM::GetSizeMax(ULARGE_INTEGER*) {
    return E_NOTIMPL;
}

// --- IObserver ---

HRESULT PackageDTM::Changed(VARIANT para_id) {
    return guarded([&] {
        if (!link_) return S_OK;
        for (const Request& request : thisPackage().requests) {
            if (request.id != para_id.lVal || link_->getInteger(request.id) == 0) continue;
            // Set back first: the reset's own change notification finds 0.
            link_->set(request.id, "0");
            link_->run(request.script);
        }
        return S_OK;
    });
}

HRESULT PackageDTM::Finished(VARIANT) {
    return E_NOTIMPL;
}

HRESULT PackageDTM::GetOwnerID(LONG* owner_id) {
    if (!owner_id) return E_POINTER;
    const auto address = reinterpret_cast<std::uintptr_t>(this);
    const auto folded =
        static_cast<std::uint32_t>(address ^ (static_cast<std::uint64_t>(address) >> 32));
    *owner_id = static_cast<LONG>(folded != 0 ? folded : 1);
    return S_OK;
}

// --- IOuterDTM ---

void PackageDTM::applyOnlineState() {
    const bool online = link_->online();
    for (const UserParameter& parameter : thisPackage().userParameters)
        link_->setValid(parameter.id, online);
}

HRESULT PackageDTM::OnInitialized() {
    return guarded([&] {
        if (!link_) return S_OK;
        const PackageDefinition& package = thisPackage();
        for (const UserParameter& parameter : package.userParameters) {
            link_->create(parameter.id, parameter.type);
            if (!parameter.initialValue.empty()) link_->set(parameter.id, parameter.initialValue);
        }
        applyOnlineState();
        for (const Request& request : package.requests) link_->observe(request.id);
        return S_OK;
    });
}

HRESULT PackageDTM::OnUpDownload(VARIANT_BOOL preEvent, VARIANT paraID, VARIANT_BOOL,
                                 VARIANT_BOOL* cancel) {
    if (preEvent != VARIANT_FALSE) return cancel ? S_OK : E_POINTER;
    return guarded([&] {
        if (!link_ || paraID.lVal == -1) return S_OK;
        const int command = commandOf(paraID);
        for (const StatusText& status : thisPackage().statusTexts) {
            if (status.command == command)
                link_->set(status.targetId,
                           nthKey(status.keys, link_->getInteger(status.sourceId)));
        }
        return S_OK;
    });
}

HRESULT PackageDTM::OnReleased() {
    selfObserver_.reset();
    return S_OK;
}

HRESULT PackageDTM::GetUpDownloadList(VARIANT_BOOL download, BSTR* ids) {
    if (!ids) return E_POINTER;
    return guarded([&] {
        const PackageDefinition& package = thisPackage();
        BSTR list =
            com::allocBstr(download != VARIANT_FALSE ? package.downloadList : package.uploadList);
        if (!list) return E_OUTOFMEMORY;
        SysFreeString(*ids);
        *ids = list;
        return S_OK;
    });
}

HRESULT PackageDTM::tryAction(BSTR, BSTR, VARIANT_BOOL* access) {
    return access ? S_OK : E_POINTER;
}

HRESULT PackageDTM::OnOnlineStateChanged() {
    return guarded([&] {
        if (link_) applyOnlineState();
        return S_OK;
    });
}

}  // namespace package_dtm
