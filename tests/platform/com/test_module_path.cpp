#include <gtest/gtest.h>

#include "platform/com/module_path.h"

namespace {

const std::filesystem::path& executable() {
    static const std::filesystem::path path = TEST_EXECUTABLE_PATH;
    return path;
}

int functionOfTheExecutable() { return 42; }
const int objectOfTheExecutable = 7;

TEST(ModulePath, TheExecutableIsFoundByItsOwnAddresses) {
    EXPECT_EQ(com::executablePath(), executable());
    EXPECT_EQ(com::modulePathOf(reinterpret_cast<const void*>(&functionOfTheExecutable)), executable())
        << "not the program name that dladdr reports";
    EXPECT_EQ(com::modulePathOf(&objectOfTheExecutable), executable());
}

TEST(ModulePath, AddressesOutsideEveryModuleHaveNoPath) {
    int onTheStack = 0;
    EXPECT_EQ(com::modulePathOf(nullptr), std::nullopt);
    EXPECT_EQ(com::modulePathOf(&onTheStack), std::nullopt);
}

TEST(ModulePath, ASharedLibraryIsFoundByAddressAndByName) {
    const auto libc = com::findLoadedModule("libc.so.6");
    ASSERT_TRUE(libc);
    EXPECT_TRUE(libc->is_absolute());
    EXPECT_EQ(com::modulePathOf(reinterpret_cast<const void*>(&::abort))->filename(), "libc.so.6");
}

TEST(ModulePath, LookupByNameTable) {
    const std::pair<std::string, std::optional<std::filesystem::path>> cases[] = {
        {executable().filename().string(), executable()},
        {executable().string(), executable()},
        {"no such module.so", std::nullopt},
        {"", std::nullopt},
        {"libc.so", std::nullopt},  // names are whole file names, not prefixes
        {"/nowhere/libc.so.6", std::nullopt},
    };
    for (const auto& [name, expected] : cases) EXPECT_EQ(com::findLoadedModule(name), expected) << name;
}

TEST(ModulePath, DirectoryKeepsItsTrailingSeparator) {
    const std::pair<std::optional<std::filesystem::path>, std::string> cases[] = {
        {std::filesystem::path("/opt/dtm packages/Varnholt Ravik/VarnholtRavikHARTDTM.so"),
         "/opt/dtm packages/Varnholt Ravik/"},
        {std::filesystem::path("/VarnholtRavikHARTDTM.so"), "/"},
        {std::nullopt, ""},
    };
    for (const auto& [path, expected] : cases) EXPECT_EQ(com::directoryWithSeparator(path), expected);
}

}  // namespace
