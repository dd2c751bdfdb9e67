#pragma once
// COM strings: UTF-16 text preceded by a 32-bit byte length, so that a null BSTR
// and an empty one stay different; the owning wrapper Bstr; UTF-8 conversion.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

using OLECHAR = char16_t;
using BSTR = OLECHAR*;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using UINT = std::uint32_t;

// A new BSTR holding the zero-terminated text; null for a null argument or on
// memory exhaustion. The caller owns the result.
BSTR SysAllocString(const OLECHAR* text);
// A new BSTR of `length` characters copied from `text` (left as zeros when
// text is null); null on memory exhaustion. The caller owns the result.
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
// Replaces *target with a copy of text; false (and *target unchanged) on failure.
bool SysReAllocString(BSTR* target, const OLECHAR* text);
// Frees a BSTR; null is accepted.
void SysFreeString(BSTR text);
// Length in characters; 0 for null.
UINT SysStringLen(BSTR text);
// Length in bytes; 0 for null.
UINT SysStringByteLen(BSTR text);

namespace com {

// UTF-8 to UTF-16; malformed sequences become U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);
// UTF-16 to UTF-8; unpaired surrogates become U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

// The characters of a BSTR (empty for null).
inline std::u16string_view bstrView(BSTR text) {
    return text ? std::u16string_view(text, SysStringLen(text)) : std::u16string_view();
}
// The text of a BSTR as UTF-8 (empty for null).
inline std::string toUtf8(BSTR text) { return utf16ToUtf8(bstrView(text)); }
// A new BSTR from UTF-8 text; the caller owns it.
BSTR allocBstr(std::string_view utf8);
BSTR allocBstr(std::u16string_view text);

// Owns one BSTR (or null). Copies are deep.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::u16string_view text) : text_(allocBstr(text)) {}
    explicit Bstr(const char16_t* text) : text_(SysAllocString(text)) {}
    static Bstr fromUtf8(std::string_view text) { return attach(allocBstr(text)); }
    // Takes ownership of an existing BSTR.
    static Bstr attach(BSTR text) {
        Bstr b;
        b.text_ = text;
        return b;
    }
    Bstr(const Bstr& other) : text_(other.text_ ? allocBstr(other.view()) : nullptr) {}
    Bstr(Bstr&& other) noexcept : text_(std::exchange(other.text_, nullptr)) {}
    Bstr& operator=(Bstr other) noexcept {
        std::swap(text_, other.text_);
        return *this;
    }
    ~Bstr() { SysFreeString(text_); }

    BSTR get() const { return text_; }
    bool isNull() const { return text_ == nullptr; }
    UINT length() const { return SysStringLen(text_); }
    std::u16string_view view() const { return bstrView(text_); }
    std::string utf8() const { return toUtf8(text_); }

    // Gives up ownership.
    BSTR detach() { return std::exchange(text_, nullptr); }
    // Frees the held text and returns the slot for an out argument.
    BSTR* out() {
        reset();
        return &text_;
    }
    void reset() { SysFreeString(std::exchange(text_, nullptr)); }
    // A caller-owned copy for an out argument (null stays null).
    BSTR copy() const { return text_ ? allocBstr(view()) : nullptr; }

    friend bool operator==(const Bstr& a, const Bstr& b) {
        return a.isNull() == b.isNull() && a.view() == b.view();
    }

private:
    BSTR text_ = nullptr;
};

}  // namespace com
