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

constexpr std::int32_t kUniversalRevision = 438775785;

// Whether `laterCommands` ("6:7,8,20,22") holds `command` for a revision above
// `revision`.
bool laterThan(std::string_view laterCommands, int command, std::int64_t revision) {
    const std::size_t colon = laterCommands.find(':');
    if (colon == std::string_view::npos) return false;
    std::int64_t from = 0;
    for (char c : laterCommands.substr(0, colon))
        if (c >= '0' && c <= '9') from = from * 10 + (c - '0');
    if (revision >= from) return false;
    std::string_view list = laterCommands.substr(colon + 1);
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        int number = 0;
        for (char c : list.substr(0, comma))
            if (c >= '0' && c <= '9') number = number * 10 + (c - '0');
        if (number == command) return true;
        list.remove_prefix(comma == std::string_view::npos ? list.size() : comma + 1);
    }
    return false;
}

// The HART command number of an up/download event's paraID (bits 24 to 31).
int commandOf(const VARIANT& paraID) {
    return static_cast<int>(static_cast<std::uint32_t>(paraID.lVal) >> 24);
}

// The device identification of a DTM for any HART device of the given
// universal command revisions: generic support, the bus protocol and the
// revision, no manufacturer, device type or revision of its own.
std::string genericIdentification(std::string_view revisions) {
    std::string text =
        "<FDT xmlns:DevId=\"x-schema:FDTHARTDeviceTypeIdentSchema.xml\" "
        "xmlns:hartident=\"x-schema:FDTHARTIdentSchema.xml\" "
        "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\" xmlns:ident=\"x-schema:DTMIdentSchema.xml\">"
        "<DevId:DeviceIdentifications fdt:busCategory=\"036D1498-387B-11D4-86E1-00E0987270B9\">";
    while (!revisions.empty()) {
        const std::size_t blank = revisions.find(' ');
        const std::string_view revision = revisions.substr(0, blank);
        revisions.remove_prefix(blank == std::string_view::npos ? revisions.size() : blank + 1);
        if (revision.empty()) continue;
        text +=
            "<DevId:DeviceIdentification hartident:idDTMSupportLevel=\"genericSupport\">"
            "<DevId:IdBusProtocol hartident:busProtocol=\"HART\"/>"
            "<DevId:IdBusProtocolVersion hartident:universalCommandRevisionLevel=\"";
        text += revision;
        text += "\"/></DevId:DeviceIdentification>";
    }
    return text + "</DevId:DeviceIdentifications></FDT>";
}

}  // namespace

std::span<const com::InterfaceEntry> PackageDTM::interfaces() {
    using Self = PackageDTM;
    static constexpr com::InterfaceEntry table[] = {
        com::entryAggregate<Self, &Self::engine_>(IDispatch::iid),
        com::entryAggregate<Self, &Self::engine_>(IDtm::iid),
        com::entryAggregate<Self, &Self::engine_>(IQadGenericDTMObject::iid),
        com::entryAggregate<Self, &Self::engine_>(IDtmInformation::iid),
        com::entry<Self, IDtmDeviceIdentification>(),
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

// --- device identification ---

HRESULT PackageDTM::GetDeviceIdentificationInformation(BSTR protocolId, BSTR request,
                                                       BSTR* result) {
    if (!result) return E_POINTER;
    com::ComPtr<IDtmDeviceIdentification> inner;
    HRESULT hr = engine_ ? engine_->QueryInterface(IDtmDeviceIdentification::iid, inner.putVoid())
                         : E_NOINTERFACE;
    if (FAILED(hr) || !inner) return FAILED(hr) ? hr : E_NOINTERFACE;
    hr = inner->GetDeviceIdentificationInformation(protocolId, request, result);
    const std::string_view revisions = thisPackage().genericRevisions;
    // Outside its lifecycle states the engine answers a null text: so does this.
    if (FAILED(hr) || *result == nullptr || revisions.empty()) return hr;
    return guarded([&] {
        BSTR generic = com::allocBstr(genericIdentification(revisions));
        if (!generic) return E_OUTOFMEMORY;
        SysFreeString(*result);
        *result = generic;
        return S_OK;
    });
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
    if (preEvent != VARIANT_FALSE) {
        if (!cancel) return E_POINTER;
        return guarded([&] {
            const std::string_view later = thisPackage().laterCommands;
            if (link_ && !later.empty() &&
                laterThan(later, commandOf(paraID), link_->getInteger(kUniversalRevision)))
                *cancel = VARIANT_TRUE;
            return S_OK;
        });
    }
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
