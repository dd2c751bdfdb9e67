#include "platform/com/variant.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "platform/com/interfaces.h"

void VariantInit(VARIANT* v) {
    v->vt = VT_EMPTY;
    v->wReserved1 = v->wReserved2 = v->wReserved3 = 0;
    v->dblVal = 0;
}

HRESULT VariantClear(VARIANT* v) {
    if (!v) return E_INVALIDARG;
    switch (v->vt) {
        case VT_BSTR:
            SysFreeString(v->bstrVal);
            break;
        case VT_UNKNOWN:
            if (v->punkVal) v->punkVal->Release();
            break;
        case VT_DISPATCH:
            if (v->pdispVal) v->pdispVal->Release();
            break;
        default:
            break;
    }
    VariantInit(v);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* dest, const VARIANT* source) {
    if (!dest || !source) return E_INVALIDARG;
    if (dest == source) return S_OK;
    VARIANT copy = *source;
    if (source->vt == VT_BSTR && source->bstrVal) {
        copy.bstrVal = com::allocBstr(com::bstrView(source->bstrVal));
        if (!copy.bstrVal) return E_OUTOFMEMORY;
    } else if (source->vt == VT_UNKNOWN && source->punkVal) {
        source->punkVal->AddRef();
    } else if (source->vt == VT_DISPATCH && source->pdispVal) {
        source->pdispVal->AddRef();
    }
    VariantClear(dest);
    *dest = copy;
    return S_OK;
}

namespace {

bool numericValue(const VARIANT& v, double& out) {
    switch (v.vt) {
        case VT_EMPTY: out = 0; return true;
        case VT_I2: out = v.iVal; return true;
        case VT_I4: case VT_INT: out = v.lVal; return true;
        case VT_UI1: out = v.bVal; return true;
        case VT_UI2: out = v.uiVal; return true;
        case VT_UI4: case VT_UINT: out = v.ulVal; return true;
        case VT_R4: out = v.fltVal; return true;
        case VT_R8: out = v.dblVal; return true;
        case VT_BOOL: out = v.boolVal ? -1 : 0; return true;
        case VT_BSTR: {
            const std::string text = com::toUtf8(v.bstrVal);
            const char* first = text.c_str();
            while (*first == ' ') ++first;
            const char* last = text.c_str() + text.size();
            while (last > first && last[-1] == ' ') --last;
            if (first == last) return false;
            char* end = nullptr;
            const std::string trimmed(first, last);
            out = std::strtod(trimmed.c_str(), &end);
            return end && *end == 0;
        }
        default: return false;
    }
}

template <class T>
bool fitsInteger(double value) {
    return std::isfinite(value) && value >= static_cast<double>(std::numeric_limits<T>::min()) &&
           value <= static_cast<double>(std::numeric_limits<T>::max());
}

}  // namespace

HRESULT VariantChangeType(VARIANT* dest, const VARIANT* source, std::uint16_t /*flags*/, VARTYPE vt) {
    if (!dest || !source) return E_INVALIDARG;
    VARIANT result;
    VariantInit(&result);
    result.vt = vt;
    if (source->vt == vt) return VariantCopy(dest, source);
    double number = 0;
    switch (vt) {
        case VT_BSTR: {
            std::string text;
            if (source->vt == VT_BOOL) {
                text = source->boolVal ? "True" : "False";
            } else if (source->vt == VT_R4 || source->vt == VT_R8) {
                char buffer[64];
                std::snprintf(buffer, sizeof buffer, "%.15g",
                              source->vt == VT_R4 ? double{source->fltVal} : source->dblVal);
                text = buffer;
            } else if (source->vt == VT_EMPTY) {
                text.clear();
            } else if (numericValue(*source, number)) {
                text = std::to_string(static_cast<long long>(number));
            } else {
                return DISP_E_TYPEMISMATCH;
            }
            result.bstrVal = com::allocBstr(std::string_view(text));
            if (!result.bstrVal) return E_OUTOFMEMORY;
            break;
        }
        case VT_BOOL:
            if (!numericValue(*source, number)) return DISP_E_TYPEMISMATCH;
            result.boolVal = number != 0 ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case VT_R8:
            if (!numericValue(*source, number)) return DISP_E_TYPEMISMATCH;
            result.dblVal = number;
            break;
        case VT_R4:
            if (!numericValue(*source, number)) return DISP_E_TYPEMISMATCH;
            result.fltVal = static_cast<float>(number);
            break;
        case VT_I2:
            if (!numericValue(*source, number) || !fitsInteger<std::int16_t>(number)) return DISP_E_TYPEMISMATCH;
            result.iVal = static_cast<std::int16_t>(std::lround(number));
            break;
        case VT_I4:
        case VT_INT:
            if (!numericValue(*source, number) || !fitsInteger<std::int32_t>(number)) return DISP_E_TYPEMISMATCH;
            result.lVal = static_cast<std::int32_t>(std::lround(number));
            break;
        case VT_UI1:
            if (!numericValue(*source, number) || !fitsInteger<std::uint8_t>(number)) return DISP_E_TYPEMISMATCH;
            result.bVal = static_cast<std::uint8_t>(std::lround(number));
            break;
        case VT_UI2:
            if (!numericValue(*source, number) || !fitsInteger<std::uint16_t>(number)) return DISP_E_TYPEMISMATCH;
            result.uiVal = static_cast<std::uint16_t>(std::lround(number));
            break;
        case VT_UI4:
        case VT_UINT:
            if (!numericValue(*source, number) || !fitsInteger<std::uint32_t>(number)) return DISP_E_TYPEMISMATCH;
            result.ulVal = static_cast<std::uint32_t>(std::llround(number));
            break;
        default:
            return DISP_E_TYPEMISMATCH;
    }
    VariantClear(dest);
    *dest = result;
    return S_OK;
}

namespace com {

Variant Variant::fromText(std::string_view utf8) { return fromBstr(allocBstr(utf8)); }
Variant Variant::fromText(std::u16string_view text) { return fromBstr(allocBstr(text)); }

Variant Variant::fromBstr(BSTR text) {
    Variant v;
    v.v_.vt = VT_BSTR;
    v.v_.bstrVal = text;
    return v;
}

Variant Variant::fromUnknown(IUnknown* unknown) {
    Variant v;
    v.v_.vt = VT_UNKNOWN;
    v.v_.punkVal = unknown;
    if (unknown) unknown->AddRef();
    return v;
}

Variant Variant::fromDispatch(IDispatch* dispatch) {
    Variant v;
    v.v_.vt = VT_DISPATCH;
    v.v_.pdispVal = dispatch;
    if (dispatch) dispatch->AddRef();
    return v;
}

}  // namespace com
