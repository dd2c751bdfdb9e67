#include <gtest/gtest.h>

#include "platform/xml/xdr_schema_p.h"

namespace xml {
namespace {

struct Sample {
    const char* type;
    const char* value;
    bool valid;
};

class XmlDataTypes : public ::testing::TestWithParam<Sample> {};

TEST_P(XmlDataTypes, CheckValues)
{
    DataType type;
    type.name = GetParam().type;
    ASSERT_TRUE(dataTypeKind(type.name, type.kind)) << type.name;
    std::string why;
    EXPECT_EQ(checkValue(type, GetParam().value, why), GetParam().valid) << type.name << " '" << GetParam().value << "'";
    EXPECT_EQ(why.empty(), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Values, XmlDataTypes,
    ::testing::Values(
        Sample{"string", "", true}, Sample{"string", " any \n text ", true},
        Sample{"boolean", "0", true}, Sample{"boolean", "1", true}, Sample{"boolean", "true", false},
        Sample{"boolean", "", false},
        Sample{"ui1", "0", true}, Sample{"ui1", "255", true}, Sample{"ui1", "256", false}, Sample{"ui1", "-1", false},
        Sample{"ui1", "+7", true}, Sample{"ui1", "1.0", false}, Sample{"ui1", " 12 ", true}, Sample{"ui1", "", false},
        Sample{"ui2", "65535", true}, Sample{"ui2", "65536", false},
        Sample{"ui4", "4294967295", true}, Sample{"ui4", "4294967296", false},
        Sample{"ui8", "18446744073709551615", true}, Sample{"ui8", "18446744073709551616", false},
        Sample{"i1", "-128", true}, Sample{"i1", "128", false}, Sample{"i2", "-32769", false},
        Sample{"i4", "-2147483648", true}, Sample{"int", "2147483648", false}, Sample{"int", "+-1", false},
        Sample{"i8", "-9223372036854775808", true}, Sample{"i8", "9223372036854775808", false},
        Sample{"number", "-1.5e+3", true}, Sample{"number", ".5", true}, Sample{"number", "5.", true},
        Sample{"number", "1e", false}, Sample{"number", ".", false}, Sample{"r8", "INF", true},
        Sample{"r4", "NaN", true}, Sample{"float", "1,5", false},
        Sample{"fixed.14.4", "12345678901234.1234", true}, Sample{"fixed.14.4", "1.12345", false},
        Sample{"fixed.14.4", "123456789012345", false},
        Sample{"char", "\xC3\xA9", true}, Sample{"char", "ab", false}, Sample{"char", "", false},
        Sample{"date", "2004-02-29", true}, Sample{"date", "2003-02-29", false}, Sample{"date", "2000-02-29", true},
        Sample{"date", "1900-02-29", false}, Sample{"date", "2004-13-01", false}, Sample{"date", "2004-4-1", false},
        Sample{"dateTime", "1988-04-07T18:39:09.125", true}, Sample{"dateTime", "1988-04-07", true},
        Sample{"dateTime", "1988-04-07T18:39:09Z", false}, Sample{"dateTime.tz", "1988-04-07T18:39:09+01:00", true},
        Sample{"dateTime.tz", "1988-04-07T24:00", false}, Sample{"time", "08:15:27", true}, Sample{"time", "8:15", false},
        Sample{"time.tz", "08:15Z", true}, Sample{"time.tz", "08:15+1", false},
        Sample{"uuid", "036D1498-387B-11D4-86E1-00E0987270B9", true}, Sample{"uuid", "036D1498387B11D486E100E0987270B9", true},
        Sample{"uuid", "{036D1498-387B-11D4-86E1-00E0987270B9}", false}, Sample{"uuid", "036D1498-387B11D4-86E1-00E0987270B9", false},
        Sample{"uuid", "036D1498-387B-11D4-86E1-00E0987270BX", false},
        Sample{"bin.hex", "", true}, Sample{"bin.hex", "00ff1A", true}, Sample{"bin.hex", "0", false},
        Sample{"bin.hex", "0g", false}, Sample{"bin.base64", "TWFu", true}, Sample{"bin.base64", "TW E=", true},
        Sample{"bin.base64", "TWE", false}, Sample{"bin.base64", "T=E=", false},
        Sample{"id", "a1", true}, Sample{"id", "1a", false}, Sample{"idrefs", "a b  c", true}, Sample{"idrefs", "", false},
        Sample{"nmtoken", "1-a.b", true}, Sample{"nmtoken", "a b", false}, Sample{"nmtokens", "1 2", true},
        Sample{"uri", "x-schema:FDTDataTypesSchema.xml", true}));

TEST(XmlDataTypeFacets, EnumerationsCompareExactlyAndLengthsCountCharacters)
{
    DataType e;
    ASSERT_TRUE(dataTypeKind("enumeration", e.kind));
    e.values = {"operator", "maintenance"};
    std::string why;
    EXPECT_TRUE(checkValue(e, "operator", why));
    EXPECT_FALSE(checkValue(e, "Operator", why));
    EXPECT_FALSE(checkValue(e, " operator", why));
    EXPECT_EQ(why, "is not one of 'operator', 'maintenance'");

    DataType s;
    s.maxLength = 2;
    s.minLength = 1;
    EXPECT_TRUE(checkValue(s, "\xC3\xA9\xC3\xA9", why));
    EXPECT_FALSE(checkValue(s, "abc", why));
    EXPECT_FALSE(checkValue(s, "", why));

    DataType bin;
    ASSERT_TRUE(dataTypeKind("bin.hex", bin.kind));
    bin.maxLength = 1;
    EXPECT_TRUE(checkValue(bin, "ff", why));
    EXPECT_FALSE(checkValue(bin, "ffff", why));
    EXPECT_FALSE(dataTypeKind("integer", bin.kind));
}

}  // namespace
}  // namespace xml
