#pragma once
// A tap between a view and the DTM it shows: the view gets this object as
// its DTM and reaches the engine's private interface through it. Every call
// goes on to the DTM unchanged; DoAction and SetValue are reported to the
// frame's event log first ("view-action SCRIPT", "view-setvalue ID TEXT"),
// so that a transcript shows what the view asked of the engine. Interfaces
// other than IDtm and IQadGenericDTMObject are answered by the DTM itself.

#include <span>

#include "frame/event_log.h"
#include "idl/fdt_dtm.h"
#include "idl/qad_generic_dtm.h"
#include "platform/com/no_late_binding.h"
#include "platform/com/object.h"

namespace frame {

class DtmTap : public com::ComObjectRoot, public com::NoLateBinding<IDtm, IQadGenericDTMObject> {
public:
    // The log must outlive the tap's use by the view.
    DtmTap(IUnknown* dtm, EventLog& events);

    static std::span<const com::InterfaceEntry> interfaces() {
        static constexpr com::InterfaceEntry table[] = {
            com::entry<DtmTap, IDtm>(),
            com::entry<DtmTap, IQadGenericDTMObject>(),
            com::entryAs<DtmTap, IDtm>(IDispatch::iid),
            {&IDtmActiveXInformation::iid, nullptr, &DtmTap::forward},
            {&IDtmInformation::iid, nullptr, &DtmTap::forward},
        };
        return table;
    }

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

private:
    static HRESULT forward(com::ComObjectRoot* object, REFIID riid, void** ppv);

    com::ComPtr<IUnknown> target_;
    com::ComPtr<IDtm> dtm_;
    com::ComPtr<IQadGenericDTMObject> engine_;
    EventLog* events_;
};

}  // namespace frame
