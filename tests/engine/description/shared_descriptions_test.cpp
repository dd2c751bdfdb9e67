#include "engine/description/shared_descriptions.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "engine/description/description_namespaces.h"
#include "engine/description/dtm_exception.h"

namespace engine {
namespace {

namespace fs = std::filesystem;

class SharedDescriptions : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("shared-descriptions-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Writes a file and gives it a modification time of its own, so that a
    // rewrite within one clock tick still counts as a change.
    std::string write(const std::string& name, const std::string& text, int second) {
        const fs::path file = dir / name;
        std::ofstream(file) << text;
        fs::last_write_time(file, fs::file_time_type(std::chrono::seconds(1700000000 + second)));
        return file.string();
    }
    static std::string device(const std::string& label) {
        return "<device_description xmlns=\"" + std::string(kDeviceDescriptionNamespace) +
               "\"><x label=\"" + label + "\"/></device_description>";
    }
    static std::string label(const xml::Document& document) {
        return *document.selectSingleNode("//user:x").getAttribute("label");
    }

    fs::path dir;
};

TEST_F(SharedDescriptions, SameFileIsParsedOnceAndAChangedFileAfresh) {
    const std::string path = write("device.xml", device("one"), 1);
    const auto first = sharedDescriptionDocument(path, kDeviceDescriptionNamespace);
    const auto second = sharedDescriptionDocument(path, kDeviceDescriptionNamespace);
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(label(*first), "one");
    EXPECT_NE(sharedDescriptionDocument(path, kDtmDescriptionNamespace).get(), first.get())
        << "another namespace binding is another document";

    write("device.xml", device("two"), 2);  // same size, later time
    const auto changed = sharedDescriptionDocument(path, kDeviceDescriptionNamespace);
    EXPECT_NE(changed.get(), first.get());
    EXPECT_EQ(label(*changed), "two");
    EXPECT_EQ(label(*first), "one") << "holders of the old copy keep it";
}

TEST_F(SharedDescriptions, UnreadableFilesRaiseEveryTimeAndAreNotKept) {
    const std::string path = write("broken.xml", "<device_description", 1);
    EXPECT_THROW(sharedDescriptionDocument(path, kDeviceDescriptionNamespace), CDTMException);
    EXPECT_THROW(sharedDescriptionDocument((dir / "none.xml").string(), kDeviceDescriptionNamespace),
                 CDTMException);
    write("broken.xml", device("fixed"), 2);
    EXPECT_EQ(label(*sharedDescriptionDocument(path, kDeviceDescriptionNamespace)), "fixed");
}

TEST_F(SharedDescriptions, SchemaCacheIsSharedUntilTheFolderChanges) {
    const std::string schema =
        "<Schema xmlns=\"urn:schemas-microsoft-com:xml-data\"><ElementType name=\"a\"/></Schema>";
    write("A.xml", schema, 1);
    const auto first = sharedSchemaCache(dir.string());
    EXPECT_EQ(sharedSchemaCache(dir.string()).get(), first.get());
    EXPECT_EQ(first->length(), 1u);

    write("B.xml", schema, 2);
    const auto grown = sharedSchemaCache(dir.string());
    EXPECT_NE(grown.get(), first.get());
    EXPECT_EQ(grown->length(), 2u);

    fs::remove(dir / "A.xml");
    EXPECT_EQ(sharedSchemaCache(dir.string())->namespaces(),
              std::vector<std::string>{"x-schema:B.xml"});
}

}  // namespace
}  // namespace engine
