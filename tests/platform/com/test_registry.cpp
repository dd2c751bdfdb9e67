#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <fstream>
#include <set>
#include <thread>

#include "platform/com/file_io.h"
#include "platform/com/registry.h"
#include "tests/platform/com/runtime_test_support.h"

namespace {

using com::ClassEntry;
using com::Registry;
using com::RegistryContents;
using runtime_test::ScopedEnvironment;
using runtime_test::ScratchDirectory;

ClassEntry classNumber(std::uint32_t n, std::string library = "/opt/dtm/with spaces/Module.so") {
    ClassEntry entry;
    entry.clsid = com::makeGuid("00000000-1111-2222-3333-444455556666");
    entry.clsid.Data1 = n;
    entry.library = std::move(library);
    entry.threadingModel = "Apartment";
    entry.progId = "Test.Class" + std::to_string(n) + ".1";
    entry.versionIndependentProgId = "Test.Class" + std::to_string(n);
    entry.description = "Class number " + std::to_string(n) + " with a long description to make the file bigger";
    return entry;
}

std::shared_ptr<const RegistryContents> read(Registry& registry) {
    std::shared_ptr<const RegistryContents> contents;
    EXPECT_TRUE(registry.snapshot(contents));
    return contents;
}

std::string fileText(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(RegistryFile, RegistrationsSurviveAReloadByANewObject) {
    ScratchDirectory dir;
    const auto file = dir / "config dir/registry";
    const ClassEntry entry = classNumber(1, "/opt/dtm packages/Module with spaces.so ");
    {
        Registry writer(file);
        ASSERT_TRUE(writer.registerClasses({&entry, 1}));
    }
    Registry reader(file);
    const auto contents = read(reader);
    ASSERT_NE(contents->findClass(entry.clsid), nullptr);
    EXPECT_EQ(*contents->findClass(entry.clsid), entry);
    EXPECT_EQ(contents->clsidFromProgId("Test.Class1"), entry.clsid);
}

TEST(RegistryFile, AMissingFileIsAnEmptyRegistryAndReadingCreatesNothing) {
    ScratchDirectory dir;
    Registry registry(dir / "registry");
    EXPECT_TRUE(read(registry)->classes.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "registry"));
}

TEST(RegistryFile, ChangesByAnotherWriterAreSeenOnTheNextLookup) {
    ScratchDirectory dir;
    Registry reader(dir / "registry");
    Registry writer(dir / "registry");
    EXPECT_TRUE(read(reader)->classes.empty());

    const ClassEntry first = classNumber(1);
    ASSERT_TRUE(writer.registerClasses({&first, 1}));
    EXPECT_NE(read(reader)->findClass(first.clsid), nullptr);

    // Same size and, on a coarse clock, the same modification time: only the new inode tells.
    ClassEntry renamed = first;
    renamed.library.back() = 'X';
    ASSERT_TRUE(writer.registerClasses({&renamed, 1}));
    EXPECT_EQ(read(reader)->findClass(first.clsid)->library, renamed.library);

    ASSERT_TRUE(writer.unregisterClasses({&first.clsid, 1}));
    EXPECT_EQ(read(reader)->findClass(first.clsid), nullptr);
    EXPECT_EQ(read(reader)->clsidFromProgId("Test.Class1"), std::nullopt);
}

TEST(RegistryFile, AHandEditedFileIsSeenToo) {
    ScratchDirectory dir;
    const auto file = dir / "registry";
    Registry registry(file);
    const ClassEntry entry = classNumber(7);
    ASSERT_TRUE(registry.registerClasses({&entry, 1}));
    ASSERT_NE(read(registry)->findClass(entry.clsid), nullptr);
    std::ofstream(file, std::ios::app) << "\n[CLSID " << com::formatGuid(classNumber(8).clsid) << "]\nLibrary=/x.so\n";
    EXPECT_NE(read(registry)->findClass(classNumber(8).clsid), nullptr);
}

TEST(RegistryFile, UnregisteringOneClassKeepsTheOthers) {
    ScratchDirectory dir;
    Registry registry(dir / "registry");
    const ClassEntry entries[] = {classNumber(1), classNumber(2)};
    ASSERT_TRUE(registry.registerClasses(entries));
    ASSERT_TRUE(registry.unregisterClasses({&entries[0].clsid, 1}));
    const auto contents = read(registry);
    EXPECT_EQ(contents->findClass(entries[0].clsid), nullptr);
    EXPECT_NE(contents->findClass(entries[1].clsid), nullptr);
    EXPECT_EQ(contents->clsidFromProgId("Test.Class2.1"), entries[1].clsid);
    EXPECT_EQ(registry.unregisterClasses({&entries[0].clsid, 1}).code, S_FALSE) << "nothing left to remove";
}

TEST(RegistryFile, AnInvalidEntryWritesNothing) {
    ScratchDirectory dir;
    const auto file = dir / "registry";
    Registry registry(file);
    const ClassEntry good = classNumber(1);
    ASSERT_TRUE(registry.registerClasses({&good, 1}));
    const std::string before = fileText(file);
    ClassEntry bad = classNumber(2);
    bad.library = "/a\n[CLSID {00000000-0000-0000-0000-000000000000}]";
    const ClassEntry batch[] = {classNumber(3), bad};
    EXPECT_EQ(registry.registerClasses(batch).code, E_INVALIDARG);
    EXPECT_EQ(fileText(file), before);
}

TEST(RegistryFile, AnUnreadableRegistryIsReportedAndNeverOverwritten) {
    ScratchDirectory dir;
    const auto file = dir / "registry";
    std::filesystem::create_directories(file / "not a file");
    Registry registry(file);
    std::shared_ptr<const RegistryContents> contents;
    EXPECT_EQ(registry.snapshot(contents).code, REGDB_E_READREGDB);
    ASSERT_TRUE(contents);
    EXPECT_TRUE(contents->classes.empty());
    const ClassEntry entry = classNumber(1);
    const com::Status s = registry.registerClasses({&entry, 1});
    EXPECT_EQ(s.code, REGDB_E_READREGDB);
    EXPECT_FALSE(s.reason.empty());
    EXPECT_TRUE(std::filesystem::exists(file / "not a file"));
}

TEST(RegistryFile, ReplacementKeepsPermissionsAndLeavesNoTemporaryFiles) {
    ScratchDirectory dir;
    const auto file = dir / "registry";
    Registry registry(file);
    const ClassEntry first = classNumber(1);
    ASSERT_TRUE(registry.registerClasses({&first, 1}));
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    const ClassEntry second = classNumber(2);
    ASSERT_TRUE(registry.registerClasses({&second, 1}));

    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    std::set<std::string> names;
    for (const auto& item : std::filesystem::directory_iterator(dir.path())) names.insert(item.path().filename());
    EXPECT_EQ(names, (std::set<std::string>{"registry", "registry.lock"}));
}

// A reader must see either the old or the new file, whatever the timing: the
// two versions differ in class count, and a torn read would lose classes or
// cut a line.
TEST(RegistryFile, AReaderNeverSeesAHalfWrittenFile) {
    ScratchDirectory dir;
    const auto file = dir / "registry";
    RegistryContents small;
    RegistryContents large;
    for (std::uint32_t n = 1; n <= 40; ++n) ASSERT_TRUE(small.addClass(classNumber(n)));
    large = small;
    for (std::uint32_t n = 41; n <= 90; ++n) ASSERT_TRUE(large.addClass(classNumber(n)));
    ASSERT_TRUE(com::writeFileAtomically(file, small.serialize()));

    Registry reader(file);
    std::set<std::size_t> seen{read(reader)->classes.size()};
    std::atomic<bool> done{false};
    std::thread writer([&] {
        Registry registry(file);
        for (int i = 1; i <= 60; ++i) {
            // Ends on the large version, so that both versions are surely seen.
            const RegistryContents& next = i % 2 == 0 ? large : small;
            registry.update([&](RegistryContents& contents) {
                contents = next;
                return com::Status::ok();
            });
        }
        done = true;
    });
    std::size_t reads = 0;
    bool torn = false;
    while (!done.load()) {
        const auto contents = read(reader);
        seen.insert(contents->classes.size());
        torn = torn || (*contents != small && *contents != large);
        ++reads;
    }
    writer.join();
    seen.insert(read(reader)->classes.size());
    EXPECT_FALSE(torn) << "after " << reads << " reads";
    EXPECT_EQ(seen, (std::set<std::size_t>{40, 90}));
}

// Two writers registering at the same time must not lose each other's classes.
TEST(RegistryFile, ConcurrentRegistrationsAreAllKept) {
    ScratchDirectory dir;
    const auto file = dir / "registry";
    const auto registerRange = [&](std::uint32_t first) {
        Registry registry(file);
        for (std::uint32_t n = first; n < first + 15; ++n) {
            const ClassEntry entry = classNumber(n);
            EXPECT_TRUE(registry.registerClasses({&entry, 1}));
        }
    };
    std::thread a(registerRange, 100);
    std::thread b(registerRange, 200);
    a.join();
    b.join();
    Registry registry(file);
    EXPECT_EQ(read(registry)->classes.size(), 30u);
}

TEST(RegistryLocation, EnvironmentDecidesTheFile) {
    struct Case {
        std::optional<std::string> registry, xdg, home;
        std::string expected;
    };
    const Case cases[] = {
        {"/tmp/reg file", "/xdg", "/home/u", "/tmp/reg file"},
        {"", "/xdg", "/home/u", "/xdg/hartdtm/registry"},
        {std::nullopt, "/xdg", "/home/u", "/xdg/hartdtm/registry"},
        {std::nullopt, "relative/xdg", "/home/u", "/home/u/.config/hartdtm/registry"},
        {std::nullopt, "", "/home/u", "/home/u/.config/hartdtm/registry"},
        {std::nullopt, std::nullopt, "/home/a user", "/home/a user/.config/hartdtm/registry"},
    };
    for (const Case& c : cases) {
        const ScopedEnvironment registry("HARTDTM_REGISTRY", c.registry);
        const ScopedEnvironment xdg("XDG_CONFIG_HOME", c.xdg);
        const ScopedEnvironment home("HOME", c.home);
        EXPECT_EQ(com::registryPath(), c.expected);
    }
}

TEST(RegistryLocation, TheProcessRegistryFollowsTheVariable) {
    ScratchDirectory dir;
    const ScopedEnvironment first("HARTDTM_REGISTRY", (dir / "one").string());
    const auto one = com::processRegistry();
    EXPECT_EQ(one->file(), dir / "one");
    EXPECT_EQ(com::processRegistry(), one) << "one object while the path stays";
    const ScopedEnvironment second("HARTDTM_REGISTRY", (dir / "two").string());
    EXPECT_EQ(com::processRegistry()->file(), dir / "two");
}

}  // namespace
