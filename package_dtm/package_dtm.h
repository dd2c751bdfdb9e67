#pragma once
// PackageDTM: the least an outer DTM can be. It holds the generic engine as
// an aggregated inner object bound to the description files in its own
// folder, answers the engine's FDT interfaces as its own, forwards
// persistence to it, and as the engine's outer DTM names the whole-device
// transfers and creates the user parameters its panels need. Everything
// package-specific comes from thisPackage().
//
// The object cannot be aggregated itself. From OnInitialized until
// OnReleased it holds a reference to itself (its kept observer pointer).

#include <memory>
#include <span>

#include "idl/fdt_dtm.h"
#include "idl/qad_generic_dtm.h"
#include "platform/com/no_late_binding.h"
#include "platform/com/object.h"

namespace positioner {
class EngineLink;
}

namespace package_dtm {

class PackageDTM : public com::ComObjectRoot,
                   public IPersistPropertyBag,
                   public IPersistStreamInit,
                   public com::NoLateBinding<IObserver, IOuterDTM, IDtmDeviceIdentification> {
public:
    static constexpr bool allowsAggregation = false;
    static std::span<const com::InterfaceEntry> interfaces();

    PackageDTM();
    ~PackageDTM() override;

    // --- IPersist, IPersistPropertyBag, IPersistStreamInit ---
    // GetClassID answers the package's class; InitNew does nothing; the rest
    // go to the engine's interface of the same kind and answer its result.
    HRESULT GetClassID(CLSID* pClassID) override;
    HRESULT InitNew() override;
    HRESULT Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) override;
    HRESULT Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) override;
    HRESULT IsDirty() override;
    HRESULT Load(IStream* pStm) override;
    HRESULT Save(IStream* pStm, BOOL fClearDirty) override;
    HRESULT GetSizeMax(ULARGE_INTEGER* pCbSize) override;

    // --- IDtmDeviceIdentification ---
    // The engine's document; for a package with generic revisions, whenever
    // the engine answers one, the generic document of those revisions
    // instead (one identification with generic support per revision).
    HRESULT GetDeviceIdentificationInformation(BSTR protocolId, BSTR request,
                                               BSTR* result) override;

    // --- IObserver: the request parameters ---
    HRESULT Changed(VARIANT para_id) override;
    HRESULT Finished(VARIANT para_id) override;
    HRESULT GetOwnerID(LONG* owner_id) override;

    // --- IOuterDTM ---
    // Creates the user parameters and observes the request parameters.
    HRESULT OnInitialized() override;
    // Vetoes the package's later commands while the device's universal
    // revision is older; after a command, sets the status texts that follow it.
    HRESULT OnUpDownload(VARIANT_BOOL preEvent, VARIANT paraID, VARIANT_BOOL download,
                         VARIANT_BOOL* cancel) override;
    HRESULT OnReleased() override;
    HRESULT GetUpDownloadList(VARIANT_BOOL download, BSTR* ids) override;
    // Leaves *access as the engine decided.
    HRESULT tryAction(BSTR action, BSTR invokeID, VARIANT_BOOL* access) override;
    // The user parameters are valid exactly while the device is online.
    HRESULT OnOnlineStateChanged() override;

protected:
    // Creates the engine aggregated and binds it to the package's files;
    // any failure is the failure of the object's creation.
    HRESULT finalConstruct() override;

private:
    IObserver* selfObserver();
    template <class Itf, class Call>
    HRESULT forwardPersistence(Call&& call);
    void applyOnlineState();

    com::ComPtr<IUnknown> engine_;
    // Not counted (it would count on this object); valid while engine_ lives.
    IQadGenericDTMObject* engineApi_ = nullptr;
    com::ComPtr<IObserver> selfObserver_;
    std::unique_ptr<positioner::EngineLink> link_;
};

}  // namespace package_dtm
