#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "tests/platform/xml/xml_test_support.h"

namespace xml {
namespace {

constexpr const char* kSecret = "SECRET-3f1c9a";

// A file that no document may ever read.
class XmlSecretFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        char name[] = "/tmp/xml_secret_XXXXXX";
        const int fd = ::mkstemp(name);
        ASSERT_GE(fd, 0);
        ::close(fd);
        path_ = name;
        std::ofstream(path_) << kSecret;
    }
    void TearDown() override { std::remove(path_.c_str()); }

    // Loads `text` (with PATH replaced by the secret file) and checks that the
    // secret shows nowhere, whether the load succeeds or not.
    void expectNotRead(std::string text)
    {
        for (std::size_t at; (at = text.find("PATH")) != std::string::npos;) {
            text.replace(at, 4, path_);
        }
        Document doc;
        doc.setResolveExternals(true);  // accepted, and still nothing is fetched
        const bool loaded = doc.loadXML(text);
        if (loaded) {
            EXPECT_EQ(doc.xml().find(kSecret), std::string::npos);
            EXPECT_EQ(doc.documentElement().text().find(kSecret), std::string::npos);
            for (const Node& n : doc.selectNodes("//node() | //@*")) {
                EXPECT_EQ(n.text().find(kSecret), std::string::npos);
            }
        } else {
            EXPECT_EQ(doc.parseError().reason.find(kSecret), std::string::npos);
        }
    }

    std::string path_;
};

TEST_F(XmlSecretFile, ExternalGeneralEntityIsNotRead)
{
    expectNotRead("<!DOCTYPE a [<!ENTITY e SYSTEM 'file://PATH'>]><a>&e;</a>");
    expectNotRead("<!DOCTYPE a [<!ENTITY e SYSTEM 'PATH'>]><a b='x'>&e;<c>&e;</c></a>");
}

TEST_F(XmlSecretFile, ExternalParameterEntityAndDtdAreNotRead)
{
    expectNotRead("<!DOCTYPE a [<!ENTITY % p SYSTEM 'file://PATH'> %p;]><a/>");
    expectNotRead("<!DOCTYPE a SYSTEM 'file://PATH'><a/>");
    expectNotRead("<!DOCTYPE a PUBLIC '-//x//y' 'PATH'><a/>");
}

TEST_F(XmlSecretFile, XIncludeIsNotProcessed)
{
    expectNotRead("<a xmlns:xi='http://www.w3.org/2001/XInclude'><xi:include href='PATH' parse='text'/></a>");
}

TEST(XmlHardening, NetworkResourcesAreNotFetched)
{
    // Port 9 (discard) on the loopback: a fetch would fail or hang; neither may happen.
    Document doc;
    const bool loaded = doc.loadXML("<!DOCTYPE a SYSTEM 'http://127.0.0.1:9/a.dtd'><a>x</a>");
    if (loaded) {
        EXPECT_EQ(doc.documentElement().text(), "x");
    }
}

TEST(XmlHardening, InternalEntitiesStayReferencesWithTheirText)
{
    Document doc;
    ASSERT_TRUE(doc.loadXML("<!DOCTYPE a [<!ENTITY e 'hello'>]><a v='&e;!'>&e; world</a>")) << doc.parseError().reason;
    EXPECT_EQ(doc.documentElement().text(), "hello world");
    EXPECT_EQ(doc.documentElement().getAttribute("v"), "hello!");
    EXPECT_NE(doc.xml().find("&e; world"), std::string::npos);
}

std::string billionLaughs()
{
    std::string text = "<!DOCTYPE lolz [<!ENTITY lol0 'lol'>";
    for (int i = 1; i <= 9; ++i) {
        text += "<!ENTITY lol" + std::to_string(i) + " '";
        for (int k = 0; k < 10; ++k) {
            text += "&lol" + std::to_string(i - 1) + ";";
        }
        text += "'>";
    }
    return text + "]><lolz>&lol9;</lolz>";
}

TEST(XmlHardening, EntityBombsAreRefused)
{
    struct Bomb {
        const char* name;
        std::string text;
    };
    const std::string big(100'000, 'x');
    std::string quadratic = "<!DOCTYPE a [<!ENTITY e '" + big + "'>]><a>";
    for (int i = 0; i < 20; ++i) {
        quadratic += "&e;";
    }
    quadratic += "</a>";
    std::string inAttributes = "<!DOCTYPE a [<!ENTITY e '" + big + "'>]><a";
    for (int i = 0; i < 20; ++i) {
        inAttributes += " a" + std::to_string(i) + "='&e;'";
    }
    inAttributes += "/>";
    const Bomb bombs[] = {{"billion laughs", billionLaughs()},
                          {"quadratic blow-up", quadratic},
                          {"quadratic in attributes", inAttributes}};
    for (const auto& bomb : bombs) {
        Document doc;
        EXPECT_FALSE(doc.loadXML(bomb.text)) << bomb.name;
        const ErrorCode code = doc.parseError().code;
        EXPECT_TRUE(code == ErrorCode::EntityExpansion || code == ErrorCode::Syntax) << bomb.name;
        EXPECT_FALSE(doc.parseError().reason.empty());
        EXPECT_TRUE(doc.empty());
    }
}

std::string nested(int depth)
{
    std::string text;
    for (int i = 0; i < depth; ++i) {
        text += i % 8 == 0 ? "<e>\n" : "<e>";
    }
    for (int i = 0; i < depth; ++i) {
        text += "</e>";
    }
    return text;
}

TEST(XmlHardening, NestingBeyondTheLimitIsRefusedWithItsPosition)
{
    Document doc;
    EXPECT_TRUE(doc.loadXML(nested(kMaxNestingDepth))) << doc.parseError().reason;
    EXPECT_FALSE(doc.loadXML(nested(kMaxNestingDepth + 1)));
    EXPECT_EQ(doc.parseError().code, ErrorCode::TooDeep);
    EXPECT_EQ(doc.parseError().line, kMaxNestingDepth / 8 + 1);
    EXPECT_NE(doc.parseError().reason.find(std::to_string(kMaxNestingDepth)), std::string::npos);
    EXPECT_FALSE(doc.loadXML(nested(100'000)));
    EXPECT_EQ(doc.parseError().code, ErrorCode::TooDeep);
}

TEST(XmlHardening, DeeplyBuiltTreesSerialiseWithoutRecursion)
{
    Document doc;
    Node node = doc.appendChild(doc.createElement("e"));
    for (int i = 0; i < 20'000; ++i) {
        node = node.appendChild(doc.createElement("e"));
    }
    EXPECT_EQ(doc.documentElement().xml().size(), 20'000u * 7 + 4);
    EXPECT_EQ(doc.documentElement().text(), "");
}

TEST(XmlHardening, OversizedInputIsRefusedBeforeParsing)
{
    Document doc;
    std::string text = "<a>";
    text.resize(kMaxDocumentBytes + 1, ' ');
    EXPECT_FALSE(doc.loadXML(text));
    EXPECT_EQ(doc.parseError().code, ErrorCode::TooLarge);
    EXPECT_NE(doc.parseError().reason.find("64 MiB"), std::string::npos);

    char path[] = "/tmp/xml_large_XXXXXX";
    const int fd = ::mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(kMaxDocumentBytes) + 1), 0);  // sparse: nothing is written
    ::close(fd);
    EXPECT_FALSE(doc.load(path));
    std::remove(path);
    EXPECT_EQ(doc.parseError().code, ErrorCode::TooLarge);
}

TEST(XmlHardening, GarbageNeverCrashesAndNothingReachesStderr)
{
    const std::string inputs[] = {std::string("\0\0\0", 3), "\xFF\xFE<\0a\0", "<a", "<<<>>>", "<?xml version='9'?><a/>",
                                  "<a xmlns:p='' p:x='1'/>", std::string("<a>\0</a>", 8), "<!DOCTYPE a [<!ENTITY e '&e;'>]><a>&e;</a>",
                                  "<a>\xC3(</a>"};
    ::testing::internal::CaptureStderr();
    for (const auto& input : inputs) {
        Document doc;
        doc.loadXML(input);
        if (!doc.empty()) {
            doc.xml();
        }
        EXPECT_THROW(doc.selectNodes("//["), Error);
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace xml
