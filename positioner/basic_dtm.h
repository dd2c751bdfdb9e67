#pragma once
// BasicDTM: the DTM that a frame creates for the valve positioner. It holds
// the generic engine as an aggregated inner object bound to the four
// description files beside this module, answers the engine's FDT interfaces
// as its own, forwards persistence to it, and adds the positioner's
// workflows as the engine's outer DTM and as an observer of its parameters.
//
// The object cannot be aggregated itself. It lives as long as the frame
// holds it; from OnInitialized until OnReleased it also holds a reference to
// itself (its kept observer pointer), and the engine holds references to it
// for every observation, until the engine is prepared for release.

#include <memory>
#include <span>

#include "idl/qad_generic_dtm.h"
#include "idl/varnholt_ravik_dtm.h"
#include "platform/com/object.h"

namespace positioner {

class EngineLink;
class Workflows;

class BasicDTM : public com::ComObjectRoot,
                 public IBasicDTM,
                 public IPersistPropertyBag,
                 public IPersistStreamInit,
                 public IObserver,
                 public IOuterDTM {
public:
    static constexpr bool allowsAggregation = false;
    static std::span<const com::InterfaceEntry> interfaces();

    BasicDTM();
    ~BasicDTM() override;

    // --- IDispatch of IBasicDTM, IObserver and IOuterDTM: the engine's dispatch ---
    HRESULT GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                          DISPID* rgDispId) override;
    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                   DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                   UINT* puArgErr) override;

    // --- IPersist, IPersistPropertyBag, IPersistStreamInit ---
    // GetClassID answers the BasicDTM class. Load and Save go to the engine's
    // interface of the same kind and answer its result; InitNew does nothing.
    HRESULT GetClassID(CLSID* pClassID) override;
    HRESULT InitNew() override;
    HRESULT Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) override;
    HRESULT Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) override;
    // The engine's dirty state: S_OK when the data set needs saving, else S_FALSE.
    HRESULT IsDirty() override;
    HRESULT Load(IStream* pStm) override;
    HRESULT Save(IStream* pStm, BOOL fClearDirty) override;
    HRESULT GetSizeMax(ULARGE_INTEGER* pCbSize) override;

    // --- IObserver ---
    HRESULT Changed(VARIANT para_id) override;
    HRESULT Finished(VARIANT para_id) override;
    // This object's identity, never 0.
    HRESULT GetOwnerID(LONG* owner_id) override;

    // --- IOuterDTM ---
    HRESULT OnInitialized() override;
    HRESULT OnUpDownload(VARIANT_BOOL preEvent, VARIANT paraID, VARIANT_BOOL download,
                         VARIANT_BOOL* cancel) override;
    // Drops the kept observer pointer, the object's reference to itself.
    HRESULT OnReleased() override;
    HRESULT GetUpDownloadList(VARIANT_BOOL download, BSTR* ids) override;
    // Leaves *access as the engine decided.
    HRESULT tryAction(BSTR action, BSTR invokeID, VARIANT_BOOL* access) override;
    HRESULT OnOnlineStateChanged() override;

protected:
    // Creates the engine aggregated and binds it to the description files;
    // any failure is the failure of the object's creation.
    HRESULT finalConstruct() override;

private:
    // The object's own IObserver, fetched on first use and kept until OnReleased.
    IObserver* selfObserver();
    com::ComPtr<IDispatch> engineDispatch() const;
    template <class Itf, class Call>
    HRESULT forwardPersistence(Call&& call);

    // The inner engine's non-delegating IUnknown.
    com::ComPtr<IUnknown> engine_;
    // The engine's private interface; not counted (it would count on this
    // object), valid while engine_ lives.
    IQadGenericDTMObject* engineApi_ = nullptr;
    com::ComPtr<IObserver> selfObserver_;
    std::unique_ptr<EngineLink> link_;
    std::unique_ptr<Workflows> workflows_;
};

// The action-script texts that transfer the whole positioner.
inline constexpr const char* kDownloadList =
    "download[17, 18, 19, 108, 109, 165, 167, 181, 175, 134, 172, 6]";
inline constexpr const char* kUploadList =
    "upload[0, 12, 13, 16, 249, 108, 109, 200, 210, 213, 169, 212, 137, 211]";

}  // namespace positioner
