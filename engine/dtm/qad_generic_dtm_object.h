#pragma once
// QadGenericDTMObject: the engine's DTM object. It knows no device of its own;
// a device-specific DTM creates it aggregated, binds it to description files
// with SetDeviceDescription, and the frame then drives it through the FDT
// interfaces. Every entry point keeps engine errors (CDTMException, xml::Error,
// allocation failures) from reaching its caller.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/communication/dtm_services.h"
#include "engine/documents/document_answers.h"
#include "engine/documents/functions_document.h"
#include "engine/dtm/language_table.h"
#include "engine/parameters/device_object.h"
#include "idl/fdt_dtm.h"
#include "idl/fdt_frame.h"
#include "idl/qad_generic_dtm.h"
#include "platform/com/no_late_binding.h"
#include "platform/com/object.h"
#include "platform/xml/document.h"

namespace xml {
class SchemaCache;
}

namespace engine::communication {
class HartChannel;
}

namespace engine {

// Lifecycle states of the DTM object.
enum DtmState : std::int32_t {
    kCreated = 0,
    kLoaded = 2,
    kEnvironmentSet = 3,
    kInitialized = 4,
    kConfigured = 5,
    kCommunicating = 6,
    kPreparedToDelete = 7,
    kReleased = 8,
};

// The private interface with its late binding: IDispatch calls it by the
// dispatch ids of its type library (1 to 39 in declaration order). Kept apart
// from the FDT interfaces, whose own IDispatch knows no members: a late-bound
// call through one of those must not run a method of this table.
class PrivateInterfaceDispatch : public IQadGenericDTMObject {
public:
    HRESULT GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

protected:
    ~PrivateInterfaceDispatch() = default;
};

class QadGenericDTMObject : public com::ComObjectRoot,
                            public PrivateInterfaceDispatch,
                            public com::NoLateBinding<IDtm, IDtmInformation, IDtmDeviceIdentification,
                                                      IDtmActiveXInformation, IDtmNotification, IDtmParameter,
                                                      IFdtCommunicationEvents, IDtmOnlineParameter>,
                            public IPersistPropertyBag,
                            public IPersistStreamInit,
                            public communication::DtmServices {
public:
    static constexpr CLSID clsid = com::makeGuid("8D96A00D-3623-451C-A11D-4B12BCD11232");

    static std::span<const com::InterfaceEntry> interfaces();

    QadGenericDTMObject();
    ~QadGenericDTMObject() override;

    // --- state, for the engine's own parts and tests ---
    std::int32_t state() const { return state_; }
    std::int32_t userLevel() const { return userLevel_; }
    bool dirty() const { return dirty_; }
    bool dataSetLocked() const { return dataSetLocked_; }
    const std::vector<OpenApplication>& openApplications() const { return openApplications_; }
    DeviceObject& deviceObject() { return deviceObject_; }
    const LanguageTable& translator() const { return translator_; }
    const std::string& systemTag() const { return systemTag_; }
    communication::HartChannel& channel() { return *channel_; }

    // --- IQadGenericDTMObject ---
    HRESULT GetValue(VARIANT para_id, BSTR* val) override;
    HRESULT SetValue(VARIANT para_id, BSTR* val) override;
    HRESULT RegisterObserver(VARIANT para_id, IDispatch* observer) override;
    HRESULT UnregisterObserver(VARIANT para_id, IDispatch* observer) override;
    HRESULT GetDescription(VARIANT para_id, BSTR* val) override;
    HRESULT GetRange(VARIANT para_id, BSTR* val) override;
    HRESULT GetName(VARIANT para_id, BSTR* val) override;
    HRESULT GetUnit(VARIANT para_id, BSTR* val) override;
    HRESULT IsChanged(VARIANT para_id, VARIANT_BOOL* Changed) override;
    HRESULT GetScaling(VARIANT para_id, BSTR* val) override;
    HRESULT DoAction(BSTR* action, IDispatch* observer) override;
    HRESULT GetSize(VARIANT para_id, BSTR* val) override;
    HRESULT IsValid(VARIANT para_id, VARIANT_BOOL* valid) override;
    HRESULT GetCommState(BSTR* state) override;
    HRESULT ClearActions(IDispatch* observer) override;
    HRESULT GetLowerLimit(VARIANT para_id, BSTR* val) override;
    HRESULT GetUpperLimit(VARIANT para_id, BSTR* val) override;
    HRESULT GetOffset(VARIANT para_id, BSTR* val) override;
    HRESULT GetDamping(VARIANT para_id, BSTR* val) override;
    HRESULT GetPointerValue(VARIANT para_id, VARIANT* val, BSTR* pValType) override;
    HRESULT SetPointerValue(VARIANT para_id, BSTR* val) override;
    HRESULT LookupParameter(VARIANT source_id, BSTR* type, VARIANT* target_id) override;
    HRESULT SetDeviceDescription(BSTR zorFile, BSTR descFile, BSTR iconFile, BSTR languageFile) override;
    HRESULT SetValid(VARIANT para_id, VARIANT_BOOL valid) override;
    HRESULT OnApplicationClosed(BSTR invokeID, BSTR functionID) override;
    HRESULT OnFunctionChanged() override;
    HRESULT OnApplicationOpened(BSTR invokeID, BSTR functionID) override;
    HRESULT SetRange(VARIANT para_id, BSTR val) override;
    HRESULT GetTranslatedString(BSTR inStr, BSTR* outStrr) override;
    HRESULT IsWriteable(VARIANT para_id, VARIANT_BOOL* writeable) override;
    HRESULT CreateUserParameter(VARIANT para_id, BSTR type) override;
    HRESULT GetBlock_Name(VARIANT para_id, BSTR* val) override;
    HRESULT IsOutOfRange(VARIANT para_id, VARIANT_BOOL* OutOfRange) override;
    HRESULT SetOutOfRange(VARIANT para_id, VARIANT_BOOL OutOfRange) override;
    HRESULT execute_Action(BSTR* action, BSTR* invokeID) override;
    HRESULT IsVisible(VARIANT para_id, VARIANT_BOOL* visible) override;
    HRESULT SetVisible(VARIANT para_id, VARIANT_BOOL visible) override;
    HRESULT IsOnline(VARIANT_BOOL* visible) override;
    HRESULT DTM_MsgBox(BSTR msg, LONG flags, LONG* result) override;

    // --- IDtm ---
    HRESULT Environment(BSTR systemTag, IFdtContainer* container, VARIANT_BOOL* result) override;
    HRESULT InitNew(BSTR deviceType, VARIANT_BOOL* result) override;
    HRESULT Config(BSTR userInformation, VARIANT_BOOL* result) override;
    HRESULT SetCommunication(IFdtCommunication* communication, VARIANT_BOOL* result) override;
    HRESULT PrepareToRelease(VARIANT_BOOL* result) override;
    HRESULT PrepareToReleaseCommunication(VARIANT_BOOL* result) override;
    HRESULT ReleaseCommunication(VARIANT_BOOL* result) override;
    HRESULT PrepareToDelete(VARIANT_BOOL* result) override;
    HRESULT SetLanguage(LONG languageId, VARIANT_BOOL* result) override;
    HRESULT GetFunctions(BSTR operationPhase, BSTR* result) override;
    HRESULT InvokeFunctionRequest(BSTR invokeId, BSTR functionCall, VARIANT_BOOL* result) override;
    HRESULT PrivateDialogEnabled(VARIANT_BOOL enabled, VARIANT_BOOL* result) override;

    // --- IDtmInformation, IDtmDeviceIdentification, IDtmActiveXInformation ---
    HRESULT GetInformation(BSTR* result) override;
    HRESULT GetDeviceIdentificationInformation(BSTR protocolId, BSTR request, BSTR* result) override;
    HRESULT GetActiveXGuid(BSTR functionCall, BSTR* result) override;
    HRESULT GetActiveXProgId(BSTR functionCall, BSTR* result) override;

    // --- IDtmNotification ---
    HRESULT OnFrameNotification(BSTR notification) override;
    HRESULT OnDataSetChanged(LONG changeKind, BSTR dataSetText) override;
    HRESULT OnLinkNotification(BSTR systemTag, BSTR notification) override;
    HRESULT QueryAccept(BSTR systemTag, BSTR request, VARIANT_BOOL* result) override;

    // --- IDtmParameter ---
    HRESULT GetParameters(BSTR parameterPath, BSTR* result) override;
    HRESULT SetParameters(BSTR parameterPath, BSTR parameters, VARIANT_BOOL* result) override;

    // --- IPersist, IPersistPropertyBag, IPersistStreamInit ---
    HRESULT GetClassID(CLSID* pClassID) override;
    HRESULT InitNew() override;
    HRESULT Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) override;
    HRESULT Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) override;
    HRESULT IsDirty() override;
    HRESULT Load(IStream* pStm) override;
    HRESULT Save(IStream* pStm, BOOL fClearDirty) override;
    HRESULT GetSizeMax(ULARGE_INTEGER* pCbSize) override;

    // --- IFdtCommunicationEvents: forwarded to the channel ---
    HRESULT OnAbort(BSTR communicationReference) override;
    HRESULT OnConnectResponse(BSTR invokeId, BSTR response) override;
    HRESULT OnDisconnectResponse(BSTR invokeId, BSTR response) override;
    HRESULT OnTransactionResponse(BSTR invokeId, BSTR response) override;

    // --- IDtmOnlineParameter ---
    HRESULT CancelAction(BSTR invokeId, VARIANT_BOOL* result) override;
    HRESULT DownloadRequest(BSTR invokeId, BSTR parameterPath, VARIANT_BOOL* result) override;
    HRESULT UploadRequest(BSTR invokeId, BSTR parameterPath, VARIANT_BOOL* result) override;

    // --- services for the channel and the document builders ---
    // Sends an error message to the frame's event sink with the system tag.
    void sendErrorMessage(std::string_view text);
    // Tells the frame that the functions (and their states) changed.
    void sendFunctionsChanged();
    // Asks the frame to lock the data set; sets dataSetLocked when granted.
    bool lockDataSet();
    // Shows a message through the frame's user dialog; the dialog result number
    // (2, cancel, when nothing could be shown).
    std::int32_t messageBox(const std::string& text, std::int32_t flags) override;
    // SetValue of the private interface for the channel's own writes.
    void setParameterValue(ParameterId id, const std::string& text) override;

private:
    // Environment's steps after the bindings: schema cache, model, channel, builders.
    bool buildEnvironment();
    void bindOuterDtm();
    bool environmentSchemaCache(const std::string& schemaPath);
    // Loads the parameter model from the bound documents; a description that
    // cannot be loaded is shown in an error box and sent to the frame, and
    // leaves no model behind.
    bool buildModel();
    // Environment has bound the frame and built the model (state 3 or later).
    bool environmentRan() const { return state_ != kCreated && state_ != kLoaded; }
    void restoreAfterOuterInitialized(const std::string& dataSetState, bool wasPersistent);
    void releaseModel();
    void closeOpenApplications();

    HRESULT transferRequest(bool download, BSTR invokeId, VARIANT_BOOL* result);

    // Persistence.
    HRESULT saveDataSet(std::string& text, std::string& changedItems);
    void finishSave(const std::string& changedItems);
    void applyLoadedDataSet(std::string_view text);
    bool unlockDataSet();

    DescriptionSources descriptionSources();
    HRESULT deliver(const DocumentAnswer& answer, BSTR* result);
    template <class Answer>
    HRESULT documentOperation(DocumentOperation operation, BSTR* result, Answer&& answer);
    ValueParameter* parameter(const VARIANT& id) const;
    bool userMayWrite() const;

    bool dataSetLocked_ = false;
    std::vector<OpenApplication> openApplications_;
    std::shared_ptr<xml::SchemaCache> schemaCache_;
    std::string iconFile_;
    std::string systemTag_;
    com::ComPtr<IFdtContainer> frameContainer_;
    com::ComPtr<IFdtEvents> frameEvents_;
    // Not counted: the outer object owns this object, so a counted reference
    // back to it would keep both alive for ever.
    IOuterDTM* outerDtm_ = nullptr;
    std::unique_ptr<communication::HartChannel> channel_;
    DeviceObject deviceObject_;
    LanguageTable translator_;
    xml::Document deviceDocument_;
    xml::Document dtmDocument_;
    std::int32_t userLevel_ = 0;
    std::int32_t state_ = kCreated;
    bool dirty_ = false;
};

}  // namespace engine
