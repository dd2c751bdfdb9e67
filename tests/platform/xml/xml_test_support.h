#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "platform/xml/document.h"
#include "platform/xml/schema_cache.h"

namespace xml::test {

inline const std::string kSchemaDir = HARTDTM_SOURCE_ROOT "/devices/schemas";
inline const std::string kFixtureDir = HARTDTM_TEST_DATA "/xml";

inline std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::string fixture(const std::string& name) { return readText(kFixtureDir + "/" + name); }

// The schema set as a frame hands it over: every "*.xml" of the directory
// whose root element is "Schema", under "x-schema:" + file name.
inline std::shared_ptr<SchemaCache> loadSchemaSet(const std::string& dir = kSchemaDir)
{
    auto cache = std::make_shared<SchemaCache>();
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() != ".xml") {
            continue;
        }
        Document schema;
        schema.setValidateOnParse(false);
        if (!schema.load(entry.path().string()) || schema.documentElement().nodeName() != "Schema") {
            continue;
        }
        ParseError added = cache->add("x-schema:" + entry.path().filename().string(), schema);
        if (added.failed()) {
            throw std::runtime_error(entry.path().string() + ": " + added.reason);
        }
    }
    return cache;
}

// 1-based line of the first occurrence of `marker` in `text`; 0 when absent.
inline long lineOf(const std::string& text, const std::string& marker)
{
    const auto at = text.find(marker);
    if (at == std::string::npos) {
        return 0;
    }
    long line = 1;
    for (std::size_t i = 0; i < at; ++i) {
        line += text[i] == '\n' ? 1 : 0;
    }
    return line;
}

}  // namespace xml::test
