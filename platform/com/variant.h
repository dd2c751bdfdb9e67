#pragma once
// VARIANT with the value types that cross the component interfaces, and an owning wrapper.

#include <cstdint>
#include <string_view>

#include "platform/com/bstr.h"
#include "platform/com/hresult.h"

struct IUnknown;
struct IDispatch;

using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
using BOOL = std::int32_t;
using WORD = std::uint16_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;
constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_INT = 22,
    VT_UINT = 23,
    VT_BYREF = 0x4000,
};

struct VARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        std::int32_t lVal;
        std::uint32_t ulVal;
        std::int16_t iVal;
        std::uint16_t uiVal;
        std::uint8_t bVal;
        std::int32_t intVal;
        std::uint32_t uintVal;
        float fltVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        HRESULT scode;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        VARIANT* pvarVal;
        std::int32_t* plVal;
        BSTR* pbstrVal;
        VARIANT_BOOL* pboolVal;
        IUnknown** ppunkVal;
        IDispatch** ppdispVal;
    };
};
using VARIANTARG = VARIANT;

// Sets the variant to VT_EMPTY without looking at what it held.
void VariantInit(VARIANT* v);
// Frees what the variant owns (BSTR, interface reference) and sets it to VT_EMPTY.
HRESULT VariantClear(VARIANT* v);
// Deep copy: a new BSTR, an added interface reference. dest is cleared first.
HRESULT VariantCopy(VARIANT* dest, const VARIANT* source);
// Converts between the integer, boolean, floating and text types; DISP_E_TYPEMISMATCH
// when no conversion exists. dest may equal source.
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* source, std::uint16_t flags, VARTYPE vt);

namespace com {

// Owns one VARIANT; copies are deep.
class Variant {
public:
    Variant() { VariantInit(&v_); }
    explicit Variant(std::int32_t value) : Variant() {
        v_.vt = VT_I4;
        v_.lVal = value;
    }
    explicit Variant(bool value) : Variant() {
        v_.vt = VT_BOOL;
        v_.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    }
    // A VT_BSTR holding a copy of the text.
    static Variant fromText(std::string_view utf8);
    static Variant fromText(std::u16string_view text);
    // Takes ownership of the BSTR.
    static Variant fromBstr(BSTR text);
    // Adds a reference to the interface.
    static Variant fromUnknown(IUnknown* unknown);
    static Variant fromDispatch(IDispatch* dispatch);

    Variant(const Variant& other) : Variant() { VariantCopy(&v_, &other.v_); }
    Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
    Variant& operator=(const Variant& other) {
        if (this != &other) VariantCopy(&v_, &other.v_);
        return *this;
    }
    Variant& operator=(Variant&& other) noexcept {
        if (this != &other) {
            VariantClear(&v_);
            v_ = other.v_;
            VariantInit(&other.v_);
        }
        return *this;
    }
    ~Variant() { VariantClear(&v_); }

    VARIANT* get() { return &v_; }
    const VARIANT* get() const { return &v_; }
    VARTYPE type() const { return v_.vt; }
    // Clears and returns the slot for an out argument.
    VARIANT* out() {
        VariantClear(&v_);
        return &v_;
    }
    // Moves the value into a caller-owned VARIANT (which must be empty or cleared).
    void detachTo(VARIANT* dest) {
        *dest = v_;
        VariantInit(&v_);
    }

private:
    VARIANT v_;
};

}  // namespace com
