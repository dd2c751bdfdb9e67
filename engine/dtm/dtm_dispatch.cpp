// IDispatch of the private interface: late-bound calls by the dispatch ids of
// its type library (1 to 39 in declaration order).
// Arguments arrive in reverse order; outputs are passed by reference.

#include "engine/dtm/qad_generic_dtm_object.h"

namespace engine {

namespace {

// Raised while reading arguments; Invoke answers it with its HRESULT.
struct ArgumentError {
    HRESULT result;
    UINT position;
};

class Arguments {
public:
    Arguments(DISPPARAMS* params, const idl::Method& method) : params_(params) {
        const UINT given = params ? params->cArgs : 0;
        if (given != method.paramCount) throw ArgumentError{DISP_E_BADPARAMCOUNT, 0};
        if (params && params->cNamedArgs != 0) throw ArgumentError{DISP_E_PARAMNOTFOUND, 0};
    }

    // The argument at declaration position i, through one level of VT_BYREF|VT_VARIANT.
    VARIANT& at(UINT i) const {
        VARIANT& v = params_->rgvarg[params_->cArgs - 1 - i];
        if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal) return *v.pvarVal;
        return v;
    }

    VARIANT value(UINT i) const { return at(i); }  // a shallow copy: the caller keeps ownership

    BSTR text(UINT i) const {
        VARIANT& v = at(i);
        if (v.vt == VT_BSTR) return v.bstrVal;
        if (v.vt == (VT_BYREF | VT_BSTR)) return *v.pbstrVal;
        if (v.vt == VT_EMPTY || v.vt == VT_NULL) return nullptr;
        throw ArgumentError{DISP_E_TYPEMISMATCH, i};
    }

    BSTR* textRef(UINT i) const {
        VARIANT& v = at(i);
        if (v.vt == (VT_BYREF | VT_BSTR)) return v.pbstrVal;
        if (v.vt == VT_BSTR) return &v.bstrVal;
        throw ArgumentError{DISP_E_TYPEMISMATCH, i};
    }

    VARIANT_BOOL* flagRef(UINT i) const {
        VARIANT& v = at(i);
        if (v.vt == (VT_BYREF | VT_BOOL)) return v.pboolVal;
        throw ArgumentError{DISP_E_TYPEMISMATCH, i};
    }

    LONG* numberRef(UINT i) const {
        VARIANT& v = at(i);
        if (v.vt == (VT_BYREF | VT_I4)) return v.plVal;
        throw ArgumentError{DISP_E_TYPEMISMATCH, i};
    }

    VARIANT* variantRef(UINT i) const {
        VARIANT& v = params_->rgvarg[params_->cArgs - 1 - i];
        if (v.vt == (VT_BYREF | VT_VARIANT) && v.pvarVal) return v.pvarVal;
        throw ArgumentError{DISP_E_TYPEMISMATCH, i};
    }

    VARIANT_BOOL flag(UINT i) const { return static_cast<VARIANT_BOOL>(coerced(i, VT_BOOL).boolVal); }
    LONG number(UINT i) const { return coerced(i, VT_I4).lVal; }

    IDispatch* dispatch(UINT i) const {
        VARIANT& v = at(i);
        if (v.vt == VT_DISPATCH) return v.pdispVal;
        if (v.vt == VT_EMPTY || v.vt == VT_NULL) return nullptr;
        throw ArgumentError{DISP_E_TYPEMISMATCH, i};
    }

private:
    VARIANT coerced(UINT i, VARTYPE type) const {
        VARIANT out;
        VariantInit(&out);
        if (FAILED(VariantChangeType(&out, &at(i), 0, type))) throw ArgumentError{DISP_E_TYPEMISMATCH, i};
        return out;  // integer and boolean types own nothing
    }

    DISPPARAMS* params_;
};

HRESULT call(IQadGenericDTMObject& o, DISPID id, const Arguments& a) {
    switch (id) {
        case 1: return o.GetValue(a.value(0), a.textRef(1));
        case 2: return o.SetValue(a.value(0), a.textRef(1));
        case 3: return o.RegisterObserver(a.value(0), a.dispatch(1));
        case 4: return o.UnregisterObserver(a.value(0), a.dispatch(1));
        case 5: return o.GetDescription(a.value(0), a.textRef(1));
        case 6: return o.GetRange(a.value(0), a.textRef(1));
        case 7: return o.GetName(a.value(0), a.textRef(1));
        case 8: return o.GetUnit(a.value(0), a.textRef(1));
        case 9: return o.IsChanged(a.value(0), a.flagRef(1));
        case 10: return o.GetScaling(a.value(0), a.textRef(1));
        case 11: return o.DoAction(a.textRef(0), a.dispatch(1));
        case 12: return o.GetSize(a.value(0), a.textRef(1));
        case 13: return o.IsValid(a.value(0), a.flagRef(1));
        case 14: return o.GetCommState(a.textRef(0));
        case 15: return o.ClearActions(a.dispatch(0));
        case 16: return o.GetLowerLimit(a.value(0), a.textRef(1));
        case 17: return o.GetUpperLimit(a.value(0), a.textRef(1));
        case 18: return o.GetOffset(a.value(0), a.textRef(1));
        case 19: return o.GetDamping(a.value(0), a.textRef(1));
        case 20: return o.GetPointerValue(a.value(0), a.variantRef(1), a.textRef(2));
        case 21: return o.SetPointerValue(a.value(0), a.textRef(1));
        case 22: return o.LookupParameter(a.value(0), a.textRef(1), a.variantRef(2));
        case 23: return o.SetDeviceDescription(a.text(0), a.text(1), a.text(2), a.text(3));
        case 24: return o.SetValid(a.value(0), a.flag(1));
        case 25: return o.OnApplicationClosed(a.text(0), a.text(1));
        case 26: return o.OnFunctionChanged();
        case 27: return o.OnApplicationOpened(a.text(0), a.text(1));
        case 28: return o.SetRange(a.value(0), a.text(1));
        case 29: return o.GetTranslatedString(a.text(0), a.textRef(1));
        case 30: return o.IsWriteable(a.value(0), a.flagRef(1));
        case 31: return o.CreateUserParameter(a.value(0), a.text(1));
        case 32: return o.GetBlock_Name(a.value(0), a.textRef(1));
        case 33: return o.IsOutOfRange(a.value(0), a.flagRef(1));
        case 34: return o.SetOutOfRange(a.value(0), a.flag(1));
        case 35: return o.execute_Action(a.textRef(0), a.textRef(1));
        case 36: return o.IsVisible(a.value(0), a.flagRef(1));
        case 37: return o.SetVisible(a.value(0), a.flag(1));
        case 38: return o.IsOnline(a.flagRef(0));
        case 39: return o.DTM_MsgBox(a.text(0), a.number(1), a.numberRef(2));
        default: return DISP_E_MEMBERNOTFOUND;
    }
}

}  // namespace

HRESULT PrivateInterfaceDispatch::GetTypeInfoCount(UINT* pctinfo) {
    if (!pctinfo) return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

HRESULT PrivateInterfaceDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) {
    if (ppTInfo) *ppTInfo = nullptr;
    return E_NOTIMPL;
}

HRESULT PrivateInterfaceDispatch::GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId) {
    if (!rgszNames || !rgDispId || cNames == 0) return E_POINTER;
    const auto table = idl::dispatchTable<IQadGenericDTMObject>();
    const idl::Method* method = idl::findMethod(table, std::u16string_view(rgszNames[0] ? rgszNames[0] : u""));
    HRESULT hr = S_OK;
    rgDispId[0] = method ? method->dispid : DISPID_UNKNOWN;
    if (!method) hr = DISP_E_UNKNOWNNAME;
    for (UINT i = 1; i < cNames; ++i) {
        rgDispId[i] = method && rgszNames[i] ? idl::findParam(*method, rgszNames[i]) : DISPID_UNKNOWN;
        if (rgDispId[i] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

HRESULT PrivateInterfaceDispatch::Invoke(DISPID dispIdMember, REFIID, LCID, WORD wFlags, DISPPARAMS* pDispParams,
                                    VARIANT* pVarResult, EXCEPINFO*, UINT* puArgErr) {
    const idl::Method* method = idl::findMethod(idl::dispatchTable<IQadGenericDTMObject>(), dispIdMember);
    if (!method) return DISP_E_MEMBERNOTFOUND;
    if (!(wFlags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
    if (pVarResult) VariantInit(pVarResult);
    try {
        const Arguments arguments(pDispParams, *method);
        return call(*this, dispIdMember, arguments);
    } catch (const ArgumentError& e) {
        if (puArgErr) *puArgErr = pDispParams && pDispParams->cArgs ? pDispParams->cArgs - 1 - e.position : 0;
        return e.result;
    }
}

}  // namespace engine
