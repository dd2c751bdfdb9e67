#include "engine/description/schema_cache_builder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "engine/description/dtm_exception.h"
#include "platform/xml/document.h"

namespace engine {
namespace {

bool hasXmlExtension(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".xml";
}

// The schema files of a directory in name order; none when it cannot be read.
std::vector<std::filesystem::path> schemaFiles(std::string_view schemaPath) {
    std::string directory(schemaPath);
    while (directory.size() > 1 && (directory.back() == '/' || directory.back() == '\\')) {
        directory.pop_back();
    }
    std::vector<std::filesystem::path> files;
    std::error_code error;
    std::filesystem::directory_iterator it(directory, error);
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        std::error_code fileError;
        if (it->is_regular_file(fileError) && hasXmlExtension(it->path())) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace

std::shared_ptr<xml::SchemaCache> buildSchemaCache(std::string_view schemaPath) {
    auto cache = std::make_shared<xml::SchemaCache>();
    for (const std::filesystem::path& file : schemaFiles(schemaPath)) {
        xml::Document scratch;
        scratch.setValidateOnParse(false);
        if (!scratch.load(file.string())) continue;
        if (scratch.documentElement().nodeName() != "Schema") continue;
        const xml::ParseError added = cache->add("x-schema:" + file.filename().string(), scratch);
        if (added.failed()) {
            throw CDTMException("Error on creating SchemaCache", static_cast<int32_t>(added.code));
        }
    }
    return cache;
}

}  // namespace engine
