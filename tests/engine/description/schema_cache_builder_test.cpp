#include "engine/description/schema_cache_builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "engine/description/dtm_exception.h"

namespace engine {
namespace {

const std::string kSchemaDirectory = std::string(HARTDTM_TEST_DATA) + "/engine/description/schemas";

TEST(DescriptionSchemaCache, AddsTheSchemaFilesOnly) {
    const std::vector<std::string> expected{"x-schema:DTMTestSchema.xml",
                                            "x-schema:SecondSchema.XML"};
    for (const std::string& path : {kSchemaDirectory, kSchemaDirectory + "/"}) {
        const std::shared_ptr<xml::SchemaCache> cache = buildSchemaCache(path);
        ASSERT_TRUE(cache);
        EXPECT_EQ(cache->namespaces(), expected) << path;
    }
}

TEST(DescriptionSchemaCache, MissingDirectoryGivesAnEmptyCache) {
    const std::shared_ptr<xml::SchemaCache> cache = buildSchemaCache(kSchemaDirectory + "/none");
    ASSERT_TRUE(cache);
    EXPECT_EQ(cache->length(), 0u);
}

TEST(DescriptionSchemaCache, RefusedSchemaIsAnError) {
    const std::filesystem::path directory =
        std::filesystem::path(::testing::TempDir()) / "engine_refused_schema";
    std::filesystem::create_directories(directory);
    std::ofstream(directory / "Bad.xml")
        << "<Schema xmlns=\"urn:schemas-microsoft-com:xml-data\"><Unknown/></Schema>\n";
    try {
        buildSchemaCache(directory.string());
        FAIL() << "no exception";
    } catch (const CDTMException& error) {
        EXPECT_EQ(error.message(), "Error on creating SchemaCache");
    }
    std::filesystem::remove_all(directory);
}

}  // namespace
}  // namespace engine
