#pragma once
// Type-library facts as data: the methods of each dual interface with their
// dispatch ids and parameters, the coclasses and the libraries themselves.
// IDispatch::GetIDsOfNames and Invoke are written from these tables, and
// registration takes its texts from them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

#include "platform/com/interfaces.h"

namespace idl {

// Direction as the type library declares it. Unspecified counts as in.
enum class Direction : std::uint8_t { In, Out, InOut, Unspecified };

struct Param {
    std::string_view name;
    VARTYPE type;  // VT_BYREF set for pointer arguments (BSTR*, VARIANT_BOOL*, LONG*, VARIANT*)
    Direction direction;
};

constexpr VARTYPE byRef(VARTYPE type) {
    return static_cast<VARTYPE>(type | VT_BYREF);
}
constexpr Param in(std::string_view name, VARTYPE type) {
    return {name, type, Direction::In};
}
constexpr Param out(std::string_view name, VARTYPE type) {
    return {name, type, Direction::Out};
}
constexpr Param inOut(std::string_view name, VARTYPE type) {
    return {name, type, Direction::InOut};
}
constexpr Param undirected(std::string_view name, VARTYPE type) {
    return {name, type, Direction::Unspecified};
}

inline constexpr std::size_t kMaxParams = 5;

// One method of a dual interface. Its parameters are numbered from 0 in
// declaration order; GetIDsOfNames answers those numbers for parameter names.
struct Method {
    std::string_view name;
    DISPID dispid;
    std::array<Param, kMaxParams> slots;
    std::size_t paramCount;

    constexpr std::span<const Param> params() const { return {slots.data(), paramCount}; }
};

// Builds a table row; more than kMaxParams parameters do not compile.
consteval Method method(DISPID dispid, std::string_view name,
                        std::initializer_list<Param> params = {}) {
    if (params.size() > kMaxParams) throw "too many parameters for idl::Method";
    Method m{name, dispid, {}, params.size()};
    std::size_t i = 0;
    for (const Param& p : params) m.slots[i++] = p;
    return m;
}

struct InterfaceInfo {
    std::string_view name;
    IID iid;
    std::span<const Method> methods;  // empty: no methods beyond IDispatch
    std::string_view helpString;      // empty when the library gives none
};

struct CoclassInfo {
    std::string_view name;
    CLSID clsid;
    std::string_view progId;                    // current version; empty when not registered
    std::string_view versionIndependentProgId;  // empty when not registered
    std::string_view description;               // the registered class description / help string
    std::string_view threadingModel;
    bool creatable;
};

struct TypeLibraryInfo {
    std::string_view name;
    GUID libid;
    std::uint16_t majorVersion;
    std::uint16_t minorVersion;
    std::string_view helpString;
    LCID lcid;
};

namespace detail {
constexpr char16_t asciiLower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}

// Names compare as OLE automation compares them: ASCII letters without case.
constexpr bool sameName(std::string_view name, std::u16string_view candidate) {
    if (name.size() != candidate.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (asciiLower(static_cast<unsigned char>(name[i])) != asciiLower(candidate[i]))
            return false;
    }
    return true;
}
}  // namespace detail

// The method of that name, or null (GetIDsOfNames then answers DISP_E_UNKNOWNNAME).
constexpr const Method* findMethod(std::span<const Method> methods, std::u16string_view name) {
    for (const Method& m : methods) {
        if (detail::sameName(m.name, name)) return &m;
    }
    return nullptr;
}

// The method with that dispatch id, or null (Invoke then answers DISP_E_MEMBERNOTFOUND).
constexpr const Method* findMethod(std::span<const Method> methods, DISPID dispid) {
    for (const Method& m : methods) {
        if (m.dispid == dispid) return &m;
    }
    return nullptr;
}

// The number of the named parameter of `method`, or DISPID_UNKNOWN.
constexpr DISPID findParam(const Method& method, std::u16string_view name) {
    const auto params = method.params();
    for (std::size_t i = 0; i < params.size(); ++i) {
        if (detail::sameName(params[i].name, name)) return static_cast<DISPID>(i);
    }
    return DISPID_UNKNOWN;
}

// The dispatch table of an interface declared in this folder (its static
// member dispatchMembers: an array, or an empty span for no methods).
template <class Itf>
constexpr std::span<const Method> dispatchTable() {
    return Itf::dispatchMembers;
}

}  // namespace idl
