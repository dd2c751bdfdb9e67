#include "frame/dtm_tap.h"

#include "platform/com/bstr.h"

namespace frame {

DtmTap::DtmTap(IUnknown* dtm, EventLog& events) : target_(dtm), events_(&events) {
    if (target_) {
        dtm_ = target_.as<IDtm>();
        engine_ = target_.as<IQadGenericDTMObject>();
    }
}

HRESULT DtmTap::forward(com::ComObjectRoot* object, REFIID riid, void** ppv) {
    auto* tap = static_cast<DtmTap*>(object);
    return tap->target_ ? tap->target_->QueryInterface(riid, ppv) : E_NOINTERFACE;
}

HRESULT DtmTap::DoAction(BSTR* action, IDispatch* observer) {
    if (action) events_->record({"view-action", {com::toUtf8(*action)}, {}});
    return engine_ ? engine_->DoAction(action, observer) : E_NOINTERFACE;
}

HRESULT DtmTap::SetValue(VARIANT para_id, BSTR* val) {
    if (val) events_->record({"view-setvalue", {std::to_string(para_id.lVal), com::toUtf8(*val)}, {}});
    return engine_ ? engine_->SetValue(para_id, val) : E_NOINTERFACE;
}

HRESULT DtmTap::GetValue(VARIANT para_id, BSTR* val) {
    return engine_ ? engine_->GetValue(para_id, val) : E_NOINTERFACE;
}

HRESULT DtmTap::RegisterObserver(VARIANT para_id, IDispatch* observer) {
    return engine_ ? engine_->RegisterObserver(para_id, observer) : E_NOINTERFACE;
}

HRESULT DtmTap::UnregisterObserver(VARIANT para_id, IDispatch* observer) {
    return engine_ ? engine_->UnregisterObserver(para_id, observer) : E_NOINTERFACE;
}

HRESULT DtmTap::GetDescription(VARIANT para_id, BSTR* val) {
    return engine_ ? engine_->GetDescription(para_id, val) : E_NOINTERFACE;
}

HRESULT DtmTap::GetRange(VARIANT para_id, BSTR* val) {
    return engine_ ? engine_->GetRange(para_id, val) : E_NOINTERFACE;
}

HRESULT DtmTap::GetName(VARIANT para_id, BSTR* val) {
    return engine_ ? engine_->GetName(para_id, val) : E_NOINTERFACE;
}

HRESULT DtmTap::GetUnit(VARIANT para_id, BSTR* val) {
    return engine_ ? engine_->GetUnit(para_id, val) : E_NOINTERFACE;
}

HRESULT DtmTap::IsChanged(VARIANT para_id, VARIANT_BOOL* Changed) {
    return engine_ ? engine_->IsChanged(para_id, Changed) : E_NOINTERFACE;
}

HRESULT DtmTap::GetScaling(VARIANT para_id, BSTR* val) {
    return engine_ ? engine_->GetScaling(para_id, val) : E_NOINTERFACE;
}

HRESULT DtmTap::GetSize(VARIANT para_id, BSTR* val) {
    return engine_ ? engine_->GetSize(para_id, val) : E_NOINTERFACE;
}

HRESULT DtmTap::IsValid(VARIANT para_id, VARIANT_BOOL* valid) {
    return engine_ ? engine_->IsValid(para_id, valid) : E_NOINTERFACE;
}

HRESULT DtmTap::GetCommState(BSTR* state) {
    return engine_ ? engine_->GetCommState(state) : E_NOINTERFACE;
}

HRESULT DtmTap::ClearActions(IDispatch* observer) {
    return engine_ ? engine_->ClearActions(observer) : E_NOINTERFACE;
}

HRESULT DtmTap::GetLowerLimit(VARIANT para_id, BSTR* val) {
    return engine_ ? engine_->GetLowerLimit(para_id, val) : E_NOINTERFACE;
}

HRESULT DtmTap::GetUpperLimit(VARIANT para_id, BSTR* val) {
    return engine_ ? engine_->GetUpperLimit(para_id, val) : E_NOINTERFACE;
}

HRESULT DtmTap::GetOffset(VARIANT para_id, BSTR* val) {
    return engine_ ? engine_->GetOffset(para_id, val) : E_NOINTERFACE;
}

HRESULT DtmTap::GetDamping(VARIANT para_id, BSTR* val) {
    return engine_ ? engine_->GetDamping(para_id, val) : E_NOINTERFACE;
}

HRESULT DtmTap::GetPointerValue(VARIANT para_id, VARIANT* val, BSTR* pValType) {
    return engine_ ? engine_->GetPointerValue(para_id, val, pValType) : E_NOINTERFACE;
}

HRESULT DtmTap::SetPointerValue(VARIANT para_id, BSTR* val) {
    return engine_ ? engine_->SetPointerValue(para_id, val) : E_NOINTERFACE;
}

HRESULT DtmTap::LookupParameter(VARIANT source_id, BSTR* type, VARIANT* target_id) {
    return engine_ ? engine_->LookupParameter(source_id, type, target_id) : E_NOINTERFACE;
}

HRESULT DtmTap::SetDeviceDescription(BSTR zorFile, BSTR descFile, BSTR iconFile, BSTR languageFile) {
    return engine_ ? engine_->SetDeviceDescription(zorFile, descFile, iconFile, languageFile) : E_NOINTERFACE;
}

HRESULT DtmTap::SetValid(VARIANT para_id, VARIANT_BOOL valid) {
    return engine_ ? engine_->SetValid(para_id, valid) : E_NOINTERFACE;
}

HRESULT DtmTap::OnApplicationClosed(BSTR invokeID, BSTR functionID) {
    return engine_ ? engine_->OnApplicationClosed(invokeID, functionID) : E_NOINTERFACE;
}

HRESULT DtmTap::OnFunctionChanged() {
    return engine_ ? engine_->OnFunctionChanged() : E_NOINTERFACE;
}

HRESULT DtmTap::OnApplicationOpened(BSTR invokeID, BSTR functionID) {
    return engine_ ? engine_->OnApplicationOpened(invokeID, functionID) : E_NOINTERFACE;
}

HRESULT DtmTap::SetRange(VARIANT para_id, BSTR val) {
    return engine_ ? engine_->SetRange(para_id, val) : E_NOINTERFACE;
}

HRESULT DtmTap::GetTranslatedString(BSTR inStr, BSTR* outStrr) {
    return engine_ ? engine_->GetTranslatedString(inStr, outStrr) : E_NOINTERFACE;
}

HRESULT DtmTap::IsWriteable(VARIANT para_id, VARIANT_BOOL* writeable) {
    return engine_ ? engine_->IsWriteable(para_id, writeable) : E_NOINTERFACE;
}

HRESULT DtmTap::CreateUserParameter(VARIANT para_id, BSTR type) {
    return engine_ ? engine_->CreateUserParameter(para_id, type) : E_NOINTERFACE;
}

HRESULT DtmTap::GetBlock_Name(VARIANT para_id, BSTR* val) {
    return engine_ ? engine_->GetBlock_Name(para_id, val) : E_NOINTERFACE;
}

HRESULT DtmTap::IsOutOfRange(VARIANT para_id, VARIANT_BOOL* OutOfRange) {
    return engine_ ? engine_->IsOutOfRange(para_id, OutOfRange) : E_NOINTERFACE;
}

HRESULT DtmTap::SetOutOfRange(VARIANT para_id, VARIANT_BOOL OutOfRange) {
    return engine_ ? engine_->SetOutOfRange(para_id, OutOfRange) : E_NOINTERFACE;
}

HRESULT DtmTap::execute_Action(BSTR* action, BSTR* invokeID) {
    return engine_ ? engine_->execute_Action(action, invokeID) : E_NOINTERFACE;
}

HRESULT DtmTap::IsVisible(VARIANT para_id, VARIANT_BOOL* visible) {
    return engine_ ? engine_->IsVisible(para_id, visible) : E_NOINTERFACE;
}

HRESULT DtmTap::SetVisible(VARIANT para_id, VARIANT_BOOL visible) {
    return engine_ ? engine_->SetVisible(para_id, visible) : E_NOINTERFACE;
}

HRESULT DtmTap::IsOnline(VARIANT_BOOL* visible) {
    return engine_ ? engine_->IsOnline(visible) : E_NOINTERFACE;
}

HRESULT DtmTap::DTM_MsgBox(BSTR msg, LONG flags, LONG* result) {
    return engine_ ? engine_->DTM_MsgBox(msg, flags, result) : E_NOINTERFACE;
}

HRESULT DtmTap::Environment(BSTR systemTag, IFdtContainer* container, VARIANT_BOOL* result) {
    return dtm_ ? dtm_->Environment(systemTag, container, result) : E_NOINTERFACE;
}

HRESULT DtmTap::InitNew(BSTR deviceType, VARIANT_BOOL* result) {
    return dtm_ ? dtm_->InitNew(deviceType, result) : E_NOINTERFACE;
}

HRESULT DtmTap::Config(BSTR userInformation, VARIANT_BOOL* result) {
    return dtm_ ? dtm_->Config(userInformation, result) : E_NOINTERFACE;
}

HRESULT DtmTap::SetCommunication(IFdtCommunication* communication, VARIANT_BOOL* result) {
    return dtm_ ? dtm_->SetCommunication(communication, result) : E_NOINTERFACE;
}

HRESULT DtmTap::PrepareToRelease(VARIANT_BOOL* result) {
    return dtm_ ? dtm_->PrepareToRelease(result) : E_NOINTERFACE;
}

HRESULT DtmTap::PrepareToReleaseCommunication(VARIANT_BOOL* result) {
    return dtm_ ? dtm_->PrepareToReleaseCommunication(result) : E_NOINTERFACE;
}

HRESULT DtmTap::ReleaseCommunication(VARIANT_BOOL* result) {
    return dtm_ ? dtm_->ReleaseCommunication(result) : E_NOINTERFACE;
}

HRESULT DtmTap::PrepareToDelete(VARIANT_BOOL* result) {
    return dtm_ ? dtm_->PrepareToDelete(result) : E_NOINTERFACE;
}

HRESULT DtmTap::SetLanguage(LONG languageId, VARIANT_BOOL* result) {
    return dtm_ ? dtm_->SetLanguage(languageId, result) : E_NOINTERFACE;
}

HRESULT DtmTap::GetFunctions(BSTR operationPhase, BSTR* result) {
    return dtm_ ? dtm_->GetFunctions(operationPhase, result) : E_NOINTERFACE;
}

HRESULT DtmTap::InvokeFunctionRequest(BSTR invokeId, BSTR functionCall, VARIANT_BOOL* result) {
    return dtm_ ? dtm_->InvokeFunctionRequest(invokeId, functionCall, result) : E_NOINTERFACE;
}

HRESULT DtmTap::PrivateDialogEnabled(VARIANT_BOOL enabled, VARIANT_BOOL* result) {
    return dtm_ ? dtm_->PrivateDialogEnabled(enabled, result) : E_NOINTERFACE;
}

}  // namespace frame
