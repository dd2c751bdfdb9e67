#include <gtest/gtest.h>

#include "platform/com/property_bag.h"

namespace {

com::ComPtr<IPropertyBag> newBag() {
    com::ComPtr<IPropertyBag> bag;
    EXPECT_EQ(com::createPropertyBag(bag.put()), S_OK);
    return bag;
}

TEST(PropertyBag, WrittenValuesAreReadBackAsIndependentCopies) {
    const auto bag = newBag();
    {
        com::Variant text = com::Variant::fromText(u"[tag=TT 101][dataSetState=default]");
        ASSERT_EQ(bag->Write(u"Parameters", text.get()), S_OK);
    }  // the caller's value is freed: the bag must hold its own copy
    com::Variant first;
    ASSERT_EQ(bag->Read(u"Parameters", first.get(), nullptr), S_OK);
    ASSERT_EQ(first.type(), VT_BSTR);
    EXPECT_EQ(com::bstrView(first.get()->bstrVal), u"[tag=TT 101][dataSetState=default]");
    com::Variant second;
    ASSERT_EQ(bag->Read(u"Parameters", second.get(), nullptr), S_OK);
    EXPECT_NE(first.get()->bstrVal, second.get()->bstrVal) << "each read hands out its own string";
}

TEST(PropertyBag, NamesAreComparedExactly) {
    const auto bag = newBag();
    com::Variant one(std::int32_t{1});
    ASSERT_EQ(bag->Write(u"Parameters", one.get()), S_OK);
    for (const char16_t* name : {u"parameters", u"Parameters ", u"Param", u""}) {
        com::Variant value;
        EXPECT_EQ(bag->Read(name, value.get(), nullptr), E_INVALIDARG) << com::utf16ToUtf8(name);
        EXPECT_EQ(value.type(), VT_EMPTY);
    }
}

TEST(PropertyBag, AWriteReplacesTheEarlierValueOfTheName) {
    const auto bag = newBag();
    com::Variant a = com::Variant::fromText(u"a");
    com::Variant b(std::int32_t{2});
    ASSERT_EQ(bag->Write(u"x", a.get()), S_OK);
    ASSERT_EQ(bag->Write(u"y", a.get()), S_OK);
    ASSERT_EQ(bag->Write(u"x", b.get()), S_OK);
    com::Variant value;
    ASSERT_EQ(bag->Read(u"x", value.get(), nullptr), S_OK);
    EXPECT_EQ(value.type(), VT_I4);
    EXPECT_EQ(value.get()->lVal, 2);
    EXPECT_EQ(static_cast<com::PropertyBag*>(bag.get())->names(), (std::vector<std::u16string>{u"x", u"y"}));
}

TEST(PropertyBag, AnAskedTypeIsConvertedOrRefused) {
    const auto bag = newBag();
    com::Variant number(std::int32_t{42});
    com::Variant word = com::Variant::fromText(u"not a number");
    ASSERT_EQ(bag->Write(u"number", number.get()), S_OK);
    ASSERT_EQ(bag->Write(u"word", word.get()), S_OK);

    VARIANT asText;
    VariantInit(&asText);
    asText.vt = VT_BSTR;  // the type asked for; the value owns nothing yet
    ASSERT_EQ(bag->Read(u"number", &asText, nullptr), S_OK);
    ASSERT_EQ(asText.vt, VT_BSTR);
    EXPECT_EQ(com::bstrView(asText.bstrVal), u"42");
    VariantClear(&asText);

    VARIANT asNumber;
    VariantInit(&asNumber);
    asNumber.vt = VT_I4;
    EXPECT_EQ(bag->Read(u"word", &asNumber, nullptr), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(asNumber.vt, VT_I4) << "left as it was";
}

TEST(PropertyBag, NullArguments) {
    const auto bag = newBag();
    com::Variant value;
    EXPECT_EQ(bag->Write(nullptr, value.get()), E_POINTER);
    EXPECT_EQ(bag->Write(u"x", nullptr), E_POINTER);
    EXPECT_EQ(bag->Read(nullptr, value.get(), nullptr), E_POINTER);
    EXPECT_EQ(bag->Read(u"x", nullptr, nullptr), E_POINTER);
    EXPECT_EQ(com::createPropertyBag(nullptr), E_POINTER);
}

}  // namespace
