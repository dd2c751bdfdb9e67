#include <gtest/gtest.h>

#include <string>

#include "platform/com/registry_contents.h"

namespace {

using com::ClassEntry;
using com::RegistryContents;

constexpr CLSID kClass = com::makeGuid("8D96A00D-3623-451C-A11D-4B12BCD11232");
constexpr CLSID kOther = com::makeGuid("477DE2EB-8FED-4E0F-9266-44794DAF7E77");
constexpr GUID kTypeLib = com::makeGuid("0AC41F17-C8C6-4E7B-AC19-CBB1B12B6E12");

std::string header() { return "[CLSID {8D96A00D-3623-451C-A11D-4B12BCD11232}]\n"; }

ClassEntry sampleClass(const CLSID& clsid, std::string progId, std::string independent) {
    ClassEntry entry;
    entry.clsid = clsid;
    entry.library = "/opt/dtm packages/Qad Generic/QadGenericDTM.so";
    entry.threadingModel = "Apartment";
    entry.progId = std::move(progId);
    entry.versionIndependentProgId = std::move(independent);
    entry.description = "QadGenericDTMObject Class";
    entry.typeLibrary = kTypeLib;
    return entry;
}

struct LibraryCase {
    const char* what;
    std::string text;
    const char* library;  // null: the class must be absent
};

TEST(RegistryText, LibraryLinesAreReadAsTheFormatSays) {
    const LibraryCase cases[] = {
        {"plain", header() + "Library=/a/b.so\n", "/a/b.so"},
        {"inner and trailing spaces stay", header() + "Library=/a b/c d.so  \n", "/a b/c d.so  "},
        {"blanks around key and after '=' go", header() + "  Library \t=  /a.so\n", "/a.so"},
        {"CRLF line ends", header() + "Library=/a.so\r\n", "/a.so"},
        {"no final line break", header() + "Library=/a.so", "/a.so"},
        {"a later line wins", header() + "Library=/old.so\nLibrary=/new.so\n", "/new.so"},
        {"'=' inside the value", header() + "Library=/a=b.so\n", "/a=b.so"},
        {"line without '=' is skipped", header() + "garbage line\nLibrary=/a.so\n", "/a.so"},
        {"comments are skipped", header() + "# Library=/c.so\n; Library=/d.so\nLibrary=/a.so\n", "/a.so"},
        {"lower-case GUID in header", "[CLSID {8d96a00d-3623-451c-a11d-4b12bcd11232}]\nLibrary=/a.so\n", "/a.so"},
        {"repeated section merges", header() + "Library=/a.so\n[ProgID X.1]\nCLSID=" + com::formatGuid(kClass) +
                                        "\n" + header() + "ThreadingModel=Apartment\n",
         "/a.so"},
        {"key before any section is dropped", "Library=/a.so\n", nullptr},
        {"unterminated header drops its keys", "[CLSID {8D96A00D-3623-451C-A11D-4B12BCD11232}\nLibrary=/a.so\n",
         nullptr},
        {"keys after a broken header do not reach the previous section",
         header() + "Library=/a.so\n[CLSID {broken\nLibrary=/b.so\n", "/a.so"},
        {"malformed GUID makes an unknown section", "[CLSID {8D96A00D-3623}]\nLibrary=/a.so\n", nullptr},
    };
    for (const LibraryCase& c : cases) {
        const RegistryContents contents = RegistryContents::parse(c.text);
        const ClassEntry* entry = contents.findClass(kClass);
        if (!c.library) {
            EXPECT_EQ(entry, nullptr) << c.what;
            continue;
        }
        ASSERT_NE(entry, nullptr) << c.what;
        EXPECT_EQ(entry->library, c.library) << c.what;
    }
}

TEST(RegistryText, MalformedGuidValuesAreDroppedNotGuessed) {
    const RegistryContents contents =
        RegistryContents::parse(header() + "Library=/a.so\nTypeLib={not a guid}\n[ProgID A.B.1]\nCLSID=123\n");
    ASSERT_NE(contents.findClass(kClass), nullptr);
    EXPECT_FALSE(contents.findClass(kClass)->typeLibrary.has_value());
    ASSERT_EQ(contents.progIds.count("A.B.1"), 1u);
    EXPECT_FALSE(contents.progIds.at("A.B.1").clsid.has_value());
    EXPECT_EQ(contents.clsidFromProgId("A.B.1"), std::nullopt);
}

TEST(RegistryText, SerializeThenParseGivesTheSameContents) {
    RegistryContents contents;
    ASSERT_TRUE(contents.addClass(sampleClass(kClass, "QadGenericDTM.QadGenericDTMObject.7",
                                              "QadGenericDTM.QadGenericDTMObject")));
    ClassEntry other = sampleClass(kOther, "VarnholtRavikHARTDTM.BasicDTM.1", "");
    other.typeLibrary.reset();
    other.extra = {{"InprocHandler", "ole32 handler"}};
    ASSERT_TRUE(contents.addClass(other));
    contents.others.push_back({"Interface {D578710D-B032-463F-9906-467851DFCEAE}", {{"Name", "IBasicDTM"}}});

    const std::string text = contents.serialize();
    EXPECT_EQ(RegistryContents::parse(text), contents) << text;
    EXPECT_NE(text.find("Library=/opt/dtm packages/Qad Generic/QadGenericDTM.so\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[ProgID QadGenericDTM.QadGenericDTMObject]\nCLSID=" + com::formatGuid(kClass) +
                        "\nCurVer=QadGenericDTM.QadGenericDTMObject.7\n"),
              std::string::npos)
        << text;
}

TEST(RegistryText, UnknownSectionsAndKeysAreKeptThroughARewrite) {
    const std::string text = "[Interface {D578710D-B032-463F-9906-467851DFCEAE}]\nName=IBasicDTM\n" + header() +
                             "Library=/a.so\nInprocHandler=handler\n[ProgID A.B.1]\nCLSID=" +
                             com::formatGuid(kClass) + "\nComment=kept\n";
    RegistryContents contents = RegistryContents::parse(text);
    ASSERT_TRUE(contents.addClass(sampleClass(kOther, "C.D.1", "C.D")));
    const RegistryContents again = RegistryContents::parse(contents.serialize());
    ASSERT_EQ(again.others.size(), 1u);
    EXPECT_EQ(again.others[0].header, "Interface {D578710D-B032-463F-9906-467851DFCEAE}");
    EXPECT_EQ(again.others[0].values, (com::ExtraValues{{"Name", "IBasicDTM"}}));
    EXPECT_EQ(again.findClass(kClass)->extra, (com::ExtraValues{{"InprocHandler", "handler"}}));
    EXPECT_EQ(again.progIds.at("A.B.1").extra, (com::ExtraValues{{"Comment", "kept"}}));
}

TEST(RegistryText, AnyInputParsesAndReachesAFixedPointAfterOneRewrite) {
    const std::string inputs[] = {
        "", "[", "]", "[]", "=", "==", "[CLSID]", "[CLSID ]\n=x", "[ProgID ]\nCLSID=x", "[ProgID bad name]\nCLSID=x",
        std::string("[CLSID {8D96A00D-3623-451C-A11D-4B12BCD11232}]\nLibrary=\0x\n", 58), "\xff\xfe[\x01]\n\x7f=\x80",
        "[[[[\n]]]]\n=[=]=\n", "\r\n\r\n\r", header() + "Library=\n",
    };
    for (const std::string& input : inputs) {
        const RegistryContents first = RegistryContents::parse(input);
        const RegistryContents second = RegistryContents::parse(first.serialize());
        EXPECT_EQ(RegistryContents::parse(second.serialize()), second) << input;
    }
}

TEST(RegistryProgIds, VersionedAndIndependentNamesLeadToTheClass) {
    RegistryContents contents;
    ASSERT_TRUE(contents.addClass(sampleClass(kClass, "Qad.Object.7", "Qad.Object")));
    EXPECT_EQ(contents.clsidFromProgId("Qad.Object.7"), kClass);
    EXPECT_EQ(contents.clsidFromProgId("Qad.Object"), kClass);
    EXPECT_EQ(contents.progIds.at("Qad.Object").curVer, "Qad.Object.7");
    EXPECT_EQ(contents.clsidFromProgId("qad.object"), std::nullopt) << "names are compared exactly";
    EXPECT_EQ(contents.clsidFromProgId("Qad"), std::nullopt);
}

TEST(RegistryProgIds, AnEntryWithoutClsidFollowsItsCurVerOnce) {
    const std::string clsid = com::formatGuid(kClass);
    const RegistryContents contents = RegistryContents::parse(
        "[ProgID A.1]\nCLSID=" + clsid + "\n[ProgID A]\nCurVer=A.1\n[ProgID B]\nCurVer=A\n[ProgID Loop]\nCurVer=Loop\n");
    EXPECT_EQ(contents.clsidFromProgId("A"), kClass);
    EXPECT_EQ(contents.clsidFromProgId("B"), std::nullopt) << "only one CurVer step";
    EXPECT_EQ(contents.clsidFromProgId("Loop"), std::nullopt);
}

TEST(RegistryProgIds, ValidityTable) {
    const std::pair<const char*, bool> cases[] = {
        {"QadGenericDTM.QadGenericDTMObject.7", true}, {"A", true}, {"a_b-c.1", true}, {"", false},
        {"1Abc", false}, {".Abc", false}, {"A B", false}, {"A]B", false}, {"A=B", false}, {"A\nB", false},
    };
    for (const auto& [text, valid] : cases) EXPECT_EQ(com::isValidProgId(text), valid) << text;
    EXPECT_TRUE(com::isValidProgId(std::string(255, 'a')));
    EXPECT_FALSE(com::isValidProgId(std::string(256, 'a')));
}

TEST(RegistryClasses, InvalidRegistrationsChangeNothing) {
    struct Case {
        const char* what;
        void (*spoil)(ClassEntry&);
    };
    const Case cases[] = {
        {"empty library", [](ClassEntry& e) { e.library.clear(); }},
        {"line break in library", [](ClassEntry& e) { e.library = "/a\nLibrary=/evil.so"; }},
        {"control character in description", [](ClassEntry& e) { e.description = "a\tb"; }},
        {"ProgID with a space", [](ClassEntry& e) { e.progId = "A B.1"; }},
        {"independent ProgID starting with a digit", [](ClassEntry& e) { e.versionIndependentProgId = "1A"; }},
        {"extra key with '='", [](ClassEntry& e) { e.extra = {{"a=b", "c"}}; }},
    };
    for (const Case& c : cases) {
        RegistryContents contents;
        ASSERT_TRUE(contents.addClass(sampleClass(kOther, "Keep.Me.1", "Keep.Me")));
        const RegistryContents before = contents;
        ClassEntry entry = sampleClass(kClass, "Qad.Object.7", "Qad.Object");
        c.spoil(entry);
        EXPECT_EQ(contents.addClass(entry).code, E_INVALIDARG) << c.what;
        EXPECT_EQ(contents, before) << c.what;
    }
}

TEST(RegistryClasses, ReRegistrationReplacesTheClassesOldProgIds) {
    RegistryContents contents;
    ASSERT_TRUE(contents.addClass(sampleClass(kClass, "Qad.Object.6", "Qad.Object")));
    ASSERT_TRUE(contents.addClass(sampleClass(kClass, "Qad.Object.7", "Qad.Object")));
    EXPECT_EQ(contents.progIds.count("Qad.Object.6"), 0u);
    EXPECT_EQ(contents.progIds.at("Qad.Object").curVer, "Qad.Object.7");
    EXPECT_EQ(contents.classes.size(), 1u);
}

TEST(RegistryClasses, RemovalTakesOnlyTheProgIdsThatNameTheClass) {
    RegistryContents contents;
    ASSERT_TRUE(contents.addClass(sampleClass(kClass, "Qad.Object.7", "Qad.Object")));
    ASSERT_TRUE(contents.addClass(sampleClass(kOther, "Basic.DTM.1", "Basic.DTM")));
    EXPECT_TRUE(contents.removeClass(kClass));
    EXPECT_EQ(contents.findClass(kClass), nullptr);
    EXPECT_EQ(contents.clsidFromProgId("Qad.Object.7"), std::nullopt);
    EXPECT_EQ(contents.clsidFromProgId("Qad.Object"), std::nullopt);
    EXPECT_EQ(contents.clsidFromProgId("Basic.DTM"), kOther);
    EXPECT_FALSE(contents.removeClass(kClass)) << "nothing left to remove";
}

}  // namespace
