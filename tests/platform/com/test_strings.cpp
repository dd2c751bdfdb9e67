#include <gtest/gtest.h>

#include "platform/com/bstr.h"
#include "platform/com/guid.h"
#include "platform/com/variant.h"

namespace {

TEST(Bstr, NullAndEmptyAreDifferent) {
    BSTR empty = SysAllocString(u"");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SysStringLen(empty), 0u);
    EXPECT_EQ(SysAllocString(nullptr), nullptr);
    EXPECT_EQ(SysStringLen(nullptr), 0u);
    com::Bstr nullText;
    com::Bstr emptyText = com::Bstr::attach(empty);
    EXPECT_TRUE(nullText.isNull());
    EXPECT_FALSE(emptyText.isNull());
    EXPECT_FALSE(nullText == emptyText);
    com::Bstr copy = emptyText;
    EXPECT_FALSE(copy.isNull()) << "a copy of an empty text must not become null";
    com::Bstr nullCopy = nullText;
    EXPECT_TRUE(nullCopy.isNull());
}

TEST(Bstr, LengthPrefixKeepsEmbeddedZeros) {
    const char16_t text[] = {u'a', 0, u'b'};
    com::Bstr b = com::Bstr::attach(SysAllocStringLen(text, 3));
    EXPECT_EQ(b.length(), 3u);
    EXPECT_EQ(SysStringByteLen(b.get()), 6u);
    EXPECT_EQ(b.get()[3], 0) << "always zero-terminated";
    EXPECT_EQ(b.view(), std::u16string_view(text, 3));
}

TEST(Bstr, AllocWithoutSourceIsZeroFilled) {
    com::Bstr b = com::Bstr::attach(SysAllocStringLen(nullptr, 4));
    ASSERT_FALSE(b.isNull());
    for (UINT i = 0; i <= 4; ++i) EXPECT_EQ(b.get()[i], 0);
}

TEST(Bstr, ReAllocReplacesAndOutFreesPrevious) {
    com::Bstr b = com::Bstr::fromUtf8("first");
    BSTR raw = b.detach();
    ASSERT_TRUE(SysReAllocString(&raw, u"second"));
    EXPECT_EQ(com::toUtf8(raw), "second");
    b = com::Bstr::attach(raw);
    *b.out() = com::allocBstr("third");  // out() frees "second"; leak-checked under ASan
    EXPECT_EQ(b.utf8(), "third");
}

struct Utf8Case {
    const char* utf8;
    std::u16string utf16;
};

TEST(Utf, RoundTripsIncludingSurrogatePairs) {
    const Utf8Case cases[] = {
        {"", u""},
        {"Ventil", u"Ventil"},
        {"Stellungsregler \xC3\xBC\xC3\x9F", u"Stellungsregler \u00FC\u00DF"},
        {"\xE2\x82\xAC", u"\u20AC"},
        {"\xF0\x9F\x94\xA7", u"\U0001F527"},  // outside the basic plane: a surrogate pair
    };
    for (const auto& c : cases) {
        EXPECT_EQ(com::utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(com::utf16ToUtf8(c.utf16), c.utf8) << c.utf8;
    }
    EXPECT_EQ(com::utf8ToUtf16("\xF0\x9F\x94\xA7").size(), 2u);
}

TEST(Utf, MalformedInputBecomesReplacementCharacter) {
    EXPECT_EQ(com::utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(com::utf8ToUtf16("\xC3"), u"\uFFFD") << "truncated sequence";
    EXPECT_EQ(com::utf8ToUtf16("\xC0\xAF"), u"\uFFFD") << "overlong form";
    EXPECT_EQ(com::utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD") << "encoded surrogate";
    const char16_t lone[] = {u'x', 0xD800, u'y'};
    EXPECT_EQ(com::utf16ToUtf8(std::u16string_view(lone, 3)), "x\xEF\xBF\xBDy");
    const char16_t trailing[] = {0xDC00};
    EXPECT_EQ(com::utf16ToUtf8(std::u16string_view(trailing, 1)), "\xEF\xBF\xBD");
}

TEST(Guid, ParseAndFormatRegistryForm) {
    constexpr GUID clsid = com::makeGuid("8D96A00D-3623-451C-A11D-4B12BCD11232");
    EXPECT_EQ(com::formatGuid(clsid), "{8D96A00D-3623-451C-A11D-4B12BCD11232}");
    EXPECT_EQ(com::formatGuidBare(clsid), "8D96A00D-3623-451C-A11D-4B12BCD11232");
    EXPECT_EQ(com::parseGuid("{8d96a00d-3623-451c-a11d-4b12bcd11232}"), clsid);
    EXPECT_EQ(com::parseGuid("8D96A00D-3623-451C-A11D-4B12BCD11232"), clsid);
    EXPECT_EQ(clsid.Data1, 0x8D96A00Du);
    EXPECT_EQ(clsid.Data4[0], 0xA1);
    EXPECT_EQ(clsid.Data4[7], 0x32);
}

TEST(Guid, RejectsMalformedText) {
    for (const char* bad : {"", "{}", "8D96A00D-3623-451C-A11D-4B12BCD1123",
                            "{8D96A00D-3623-451C-A11D-4B12BCD11232", "8D96A00D+3623-451C-A11D-4B12BCD11232",
                            "8D96A00D-3623-451C-A11D-4B12BCD1123G", "{8D96A00D-3623-451C-A11D-4B12BCD11232}x"}) {
        EXPECT_FALSE(com::parseGuid(bad).has_value()) << bad;
    }
}

TEST(Guid, FreshGuidsAreVersion4AndDistinct) {
    const GUID a = com::newGuid();
    const GUID b = com::newGuid();
    EXPECT_NE(a, b);
    EXPECT_EQ(a.Data3 >> 12, 4);
    EXPECT_EQ(a.Data4[0] & 0xC0, 0x80);
    const std::string text = com::formatGuidBare(a);
    EXPECT_EQ(text.size(), 36u);
    EXPECT_EQ(com::parseGuid(text), a);
    EXPECT_EQ(std::hash<GUID>{}(a), std::hash<GUID>{}(*com::parseGuid(text)));
}

TEST(Variant, CopyIsDeepAndClearFrees) {
    com::Variant text = com::Variant::fromText("valve");
    com::Variant copy = text;
    ASSERT_EQ(copy.type(), VT_BSTR);
    EXPECT_NE(copy.get()->bstrVal, text.get()->bstrVal);
    EXPECT_EQ(com::toUtf8(copy.get()->bstrVal), "valve");
    VariantClear(copy.get());
    EXPECT_EQ(copy.type(), VT_EMPTY);
    EXPECT_EQ(com::toUtf8(text.get()->bstrVal), "valve");
}

TEST(Variant, ChangeTypeBetweenIntegersTextAndBool) {
    com::Variant number(std::int32_t{-12});
    com::Variant asText;
    ASSERT_EQ(VariantChangeType(asText.get(), number.get(), 0, VT_BSTR), S_OK);
    EXPECT_EQ(com::toUtf8(asText.get()->bstrVal), "-12");
    com::Variant back;
    ASSERT_EQ(VariantChangeType(back.get(), asText.get(), 0, VT_I4), S_OK);
    EXPECT_EQ(back.get()->lVal, -12);
    com::Variant flag(true);
    EXPECT_EQ(flag.get()->boolVal, VARIANT_TRUE);
    EXPECT_EQ(VARIANT_TRUE, -1);
    com::Variant garbage = com::Variant::fromText("12abc");
    com::Variant out;
    EXPECT_EQ(VariantChangeType(out.get(), garbage.get(), 0, VT_I4), DISP_E_TYPEMISMATCH);
    com::Variant huge = com::Variant::fromText("99999999999");
    EXPECT_EQ(VariantChangeType(out.get(), huge.get(), 0, VT_I4), DISP_E_TYPEMISMATCH);
}

}  // namespace
