// IQadGenericDTMObject: the private interface of the views and the outer DTM.
// Unknown parameter ids are not errors: the documented "missing" answer is
// written and the result is S_OK. Engine errors end a call with E_POINTER.

#include <algorithm>
#include <cstdlib>

#include "engine/communication/hart_channel.h"
#include "engine/communication/transfer_requests.h"
#include "engine/documents/user_documents.h"
#include "engine/dtm/dtm_support_p.h"
#include "engine/dtm/qad_generic_dtm_object.h"
#include "engine/parameters/value_parameter.h"

namespace engine {

using namespace dtm_support;

namespace {

constexpr std::string_view kObjectMissing = "Object missing";

// Reads a text operation of a parameter into an [in,out] BSTR, or the missing text.
template <class Read>
HRESULT readText(ValueParameter* p, BSTR* val, std::string_view missing, Read&& read) {
    if (!val) return E_POINTER;
    return barrier(E_POINTER, [&] {
        replaceText(val, p ? std::string(read(*p)) : std::string(missing));
        return S_OK;
    });
}

template <class Read>
HRESULT readFlag(ValueParameter* p, VARIANT_BOOL* out, Read&& read) {
    if (!out) return E_POINTER;
    return barrier(E_POINTER, [&] {
        *out = p ? static_cast<VARIANT_BOOL>(read(*p)) : VARIANT_BOOL{0};
        return S_OK;
    });
}

// The decimal value at the start of a text (a function id); 0 without digits.
std::int32_t leadingNumber(std::string_view text) {
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
        if (value > INT32_MAX) return INT32_MAX;
    }
    return static_cast<std::int32_t>(value);
}

com::ComPtr<IObserver> observerOf(IDispatch* observer) {
    com::ComPtr<IObserver> result;
    if (observer) observer->QueryInterface(IObserver::iid, result.putVoid());
    return result;
}

}  // namespace

ValueParameter* QadGenericDTMObject::parameter(const VARIANT& id) const {
    return deviceObject_.find(parameterId(id));
}

bool QadGenericDTMObject::userMayWrite() const {
    return userLevel_ >= kUserLevelOperator && dataSetLocked_;
}

HRESULT QadGenericDTMObject::GetValue(VARIANT para_id, BSTR* val) {
    return readText(parameter(para_id), val, kObjectMissing, [](ValueParameter& p) { return p.getValueText(0); });
}

HRESULT QadGenericDTMObject::SetValue(VARIANT para_id, BSTR* val) {
    return barrier(E_POINTER, [&] {
        setParameterValue(parameterId(para_id), val ? com::toUtf8(*val) : std::string());
        return S_OK;
    });
}

void QadGenericDTMObject::setParameterValue(ParameterId id, const std::string& text) {
    ValueParameter* p = deviceObject_.find(id);
    if (!p) return;
    deviceObject_.setValue(id, text, 0);
    if (p->isChanged()) dirty_ = true;
}

HRESULT QadGenericDTMObject::RegisterObserver(VARIANT para_id, IDispatch* observer) {
    return barrier(E_POINTER, [&] {
        ValueParameter* p = parameter(para_id);
        auto o = observerOf(observer);
        if (p && o) p->registerObserver(o.get());
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::UnregisterObserver(VARIANT para_id, IDispatch* observer) {
    return barrier(E_POINTER, [&] {
        ValueParameter* p = parameter(para_id);
        auto o = observerOf(observer);
        if (!p || !o) return S_OK;
        LONG owner = 0;
        o->GetOwnerID(&owner);
        p->unregisterObserver(owner);
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::GetDescription(VARIANT para_id, BSTR* val) {
    if (!val) return E_POINTER;
    return barrier(E_POINTER, [&] {
        // An action item with this id answers its own description.
        if (const ActionEntry* action = deviceObject_.findAction(static_cast<std::uint32_t>(parameterId(para_id)))) {
            const xml::Node description = action->node.selectSingleNode("user:description");
            replaceText(val, description ? description.text() : std::string());
            return S_OK;
        }
        ValueParameter* p = parameter(para_id);
        replaceText(val, p ? p->getDescription() : std::string(kObjectMissing));
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::GetRange(VARIANT para_id, BSTR* val) {
    return readText(parameter(para_id), val, "", [](ValueParameter& p) { return p.getRange(); });
}

HRESULT QadGenericDTMObject::GetName(VARIANT para_id, BSTR* val) {
    return readText(parameter(para_id), val, kObjectMissing, [](ValueParameter& p) { return p.getLabel(); });
}

HRESULT QadGenericDTMObject::GetUnit(VARIANT para_id, BSTR* val) {
    return readText(parameter(para_id), val, "", [](ValueParameter& p) { return p.getUnit(); });
}

HRESULT QadGenericDTMObject::IsChanged(VARIANT para_id, VARIANT_BOOL* Changed) {
    return readFlag(parameter(para_id), Changed, [](ValueParameter& p) { return privateBool(p.isChanged()); });
}

HRESULT QadGenericDTMObject::GetScaling(VARIANT para_id, BSTR* val) {
    return readText(parameter(para_id), val, "1", [](ValueParameter& p) { return p.getScaling(); });
}

HRESULT QadGenericDTMObject::GetSize(VARIANT para_id, BSTR* val) {
    return readText(parameter(para_id), val, "", [](ValueParameter& p) { return p.getSize(); });
}

HRESULT QadGenericDTMObject::IsValid(VARIANT para_id, VARIANT_BOOL* valid) {
    if (!valid) return E_POINTER;
    if (!userMayWrite()) {
        *valid = 0;
        return S_OK;
    }
    return readFlag(parameter(para_id), valid, [](ValueParameter& p) { return p.isValid(); });
}

HRESULT QadGenericDTMObject::GetCommState(BSTR* state) {
    if (!state) return E_POINTER;
    return barrier(E_POINTER, [&] {
        switch (channel_->channelState()) {
            case 0: case 1: case 2: replaceText(state, "OFFLINE"); break;
            case 3: replaceText(state, "ONLINE"); break;
            case 4: replaceText(state, "IDENTIFICATED"); break;
            default: break;
        }
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::GetLowerLimit(VARIANT, BSTR*) {
    // The interface leaves the caller's text as it is; the lower limit reaches
    // callers through the range text.
    return S_OK;
}

HRESULT QadGenericDTMObject::GetUpperLimit(VARIANT para_id, BSTR* val) {
    return readText(parameter(para_id), val, "", [](ValueParameter& p) { return p.getUpperLimit(); });
}

HRESULT QadGenericDTMObject::GetOffset(VARIANT para_id, BSTR* val) {
    return readText(parameter(para_id), val, "", [](ValueParameter& p) { return p.getOffset(); });
}

HRESULT QadGenericDTMObject::GetDamping(VARIANT para_id, BSTR* val) {
    return readText(parameter(para_id), val, "", [](ValueParameter& p) { return p.getDamping(); });
}

HRESULT QadGenericDTMObject::GetPointerValue(VARIANT para_id, VARIANT* val, BSTR* pValType) {
    if (!val) return E_POINTER;
    return barrier(E_POINTER, [&] {
        ValueParameter* p = parameter(para_id);
        std::string text;
        if (!p) {
            text = kObjectMissing;
        } else {
            const std::string kind = pValType ? com::toUtf8(*pValType) : std::string();
            if (kind == "value") text = p->getValueText(0);
            else if (kind == "size") text = p->getSize();
            else if (kind == "description") text = p->getDescription();
            else if (kind == "name") text = p->getLabel();
        }
        // The text goes into the BSTR field; a VARIANT of another type is made
        // a text VARIANT first, so that nothing it held leaks or is misread.
        if (val->vt != VT_BSTR) {
            VariantClear(val);
            val->vt = VT_BSTR;
            val->bstrVal = nullptr;
        }
        replaceText(&val->bstrVal, text);
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::SetPointerValue(VARIANT para_id, BSTR* val) {
    return barrier(E_POINTER, [&] {
        ValueParameter* p = deviceObject_.findDeep(parameterId(para_id));
        if (!p) return S_OK;
        p->setValueText(val ? com::toUtf8(*val) : std::string(), 0);
        if (p->isChanged()) dirty_ = true;
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::LookupParameter(VARIANT source_id, BSTR* type, VARIANT* target_id) {
    if (!target_id) return E_POINTER;
    return barrier(E_POINTER, [&] {
        ValueParameter* p = parameter(source_id);
        ValueParameter* target = p ? p->resolveTarget(type ? com::toUtf8(*type) : std::string()) : nullptr;
        if (target_id->vt != VT_I4) {
            VariantClear(target_id);
            target_id->vt = VT_I4;
        }
        target_id->lVal = target ? target->id() : 0;
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::SetValid(VARIANT para_id, VARIANT_BOOL valid) {
    return barrier(E_POINTER, [&] {
        if (ValueParameter* p = parameter(para_id)) p->setValid(valid);
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::OnApplicationClosed(BSTR invokeID, BSTR functionID) {
    return barrier(E_POINTER, [&] {
        if (frameEvents_) frameEvents_->OnApplicationClosed(invokeID);
        // One function may be open in several applications (the positioner
        // opens function 1 from two menu entries): only the application that
        // closed goes, found by the invoke id it was opened with.
        const std::string invokeId = com::toUtf8(invokeID);
        const auto closed = std::find_if(openApplications_.begin(), openApplications_.end(),
                                         [&](const OpenApplication& a) { return a.invokeId == invokeId; });
        if (closed != openApplications_.end()) openApplications_.erase(closed);
        sendFunctionsChanged();
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::OnFunctionChanged() {
    return barrier(E_POINTER, [&] {
        sendFunctionsChanged();
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::OnApplicationOpened(BSTR invokeID, BSTR functionID) {
    return barrier(E_POINTER, [&] {
        openApplications_.push_back({com::toUtf8(invokeID), leadingNumber(com::toUtf8(functionID))});
        sendFunctionsChanged();
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::SetRange(VARIANT para_id, BSTR val) {
    return barrier(E_POINTER, [&] {
        if (ValueParameter* p = parameter(para_id)) p->setRange(com::toUtf8(val));
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::GetTranslatedString(BSTR inStr, BSTR* outStrr) {
    if (!outStrr) return E_POINTER;
    return barrier(E_POINTER, [&] {
        replaceText(outStrr, translator_.translate(com::toUtf8(inStr)));
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::IsWriteable(VARIANT para_id, VARIANT_BOOL* writeable) {
    if (!writeable) return E_POINTER;
    if (!userMayWrite()) {
        *writeable = 0;
        return S_OK;
    }
    return readFlag(parameter(para_id), writeable, [](ValueParameter& p) { return privateBool(p.isWritable()); });
}

HRESULT QadGenericDTMObject::CreateUserParameter(VARIANT para_id, BSTR type) {
    return barrier(E_POINTER, [&] {
        deviceObject_.createUserParameter(parameterId(para_id), com::toUtf8(type));
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::GetBlock_Name(VARIANT para_id, BSTR* val) {
    return readText(parameter(para_id), val, kObjectMissing, [](ValueParameter& p) { return p.getBlockName(); });
}

HRESULT QadGenericDTMObject::IsOutOfRange(VARIANT para_id, VARIANT_BOOL* OutOfRange) {
    if (!OutOfRange) return E_POINTER;
    if (parameterId(para_id) == 0) {
        return barrier(E_POINTER, [&] {
            *OutOfRange = deviceObject_.anyOutOfRange() ? VARIANT_TRUE : VARIANT_BOOL{0};
            return S_OK;
        });
    }
    return readFlag(parameter(para_id), OutOfRange, [](ValueParameter& p) { return p.isOutOfRange(); });
}

HRESULT QadGenericDTMObject::SetOutOfRange(VARIANT para_id, VARIANT_BOOL OutOfRange) {
    return barrier(E_POINTER, [&] {
        if (ValueParameter* p = parameter(para_id)) p->setOutOfRange(OutOfRange);
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::IsVisible(VARIANT para_id, VARIANT_BOOL* visible) {
    return readFlag(parameter(para_id), visible, [](ValueParameter& p) { return p.isVisible(); });
}

HRESULT QadGenericDTMObject::SetVisible(VARIANT para_id, VARIANT_BOOL visible) {
    return barrier(E_POINTER, [&] {
        if (ValueParameter* p = parameter(para_id)) p->setVisible(visible);
        return S_OK;
    });
}

HRESULT QadGenericDTMObject::IsOnline(VARIANT_BOOL* visible) {
    if (!visible) return E_POINTER;
    *visible = privateBool(channel_->channelState() == 3);
    return S_OK;
}

HRESULT QadGenericDTMObject::DTM_MsgBox(BSTR msg, LONG flags, LONG* result) {
    if (!result) return E_POINTER;
    *result = kDialogCancel;
    return barrier(E_POINTER, [&] {
        *result = messageBox(com::toUtf8(msg), flags);
        return S_OK;
    });
}

std::int32_t QadGenericDTMObject::messageBox(const std::string& text, std::int32_t flags) {
    try {
        const std::string document = buildUserMessage(text, flags, translator_.translate("DTM_Name"), schemaCache_);
        auto dialog = frameContainer_.as<IFdtDialog>();
        if (!dialog) return kDialogCancel;
        com::Bstr answer;
        if (FAILED(dialog->UserDialog(com::Bstr::fromUtf8(systemTag_).get(), com::Bstr::fromUtf8(document).get(),
                                      answer.out()))) {
            return kDialogCancel;
        }
        return readUserMessageAnswer(answer.utf8(), schemaCache_);
    } catch (...) {
        return kDialogCancel;
    }
}

// --- actions: the channel's queue and script interpreter ---

HRESULT QadGenericDTMObject::DoAction(BSTR* action, IDispatch* observer) {
    return communication::DoAction(*channel_, action, observer);
}

HRESULT QadGenericDTMObject::ClearActions(IDispatch* observer) {
    return communication::ClearActions(*channel_, observer);
}

HRESULT QadGenericDTMObject::execute_Action(BSTR* action, BSTR* invokeID) {
    return communication::ExecuteAction(*channel_, action, invokeID);
}

}  // namespace engine
