#include "engine/description/shared_descriptions.h"

#include <algorithm>
#include <filesystem>
#include <utility>
#include <vector>

#include "engine/description/description_document.h"
#include "engine/description/schema_cache_builder.h"
#include "engine/description/shared_registry.h"

namespace engine {
namespace {

using DocumentKey = std::pair<std::string, std::string>;  // path, namespace URI

// The schema folder's stamp: every file in it, in name order, with its stamp.
using FolderStamp = std::vector<std::pair<std::string, FileStamp>>;

FolderStamp folderStamp(std::string_view folder) {
    FolderStamp stamp;
    std::error_code error;
    std::filesystem::directory_iterator it{std::filesystem::path(folder), error};
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
        stamp.emplace_back(it->path().filename().string(), stampOf(it->path()));
    }
    std::sort(stamp.begin(), stamp.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    return stamp;
}

SharedRegistry<DocumentKey, FileStamp, xml::Document>& documents() {
    static SharedRegistry<DocumentKey, FileStamp, xml::Document> registry;
    return registry;
}

SharedRegistry<std::string, FolderStamp, xml::SchemaCache>& schemaCaches() {
    static SharedRegistry<std::string, FolderStamp, xml::SchemaCache> registry;
    return registry;
}

}  // namespace

std::shared_ptr<const xml::Document> sharedDescriptionDocument(const std::string& path,
                                                              std::string_view namespaceUri) {
    const FileStamp stamp = stampOf(path);
    // A file that cannot be looked at is loaded every time, for its error.
    if (!stamp.exists) return std::make_shared<xml::Document>(loadDescriptionDocument(path, namespaceUri));
    return documents().get(DocumentKey{path, std::string(namespaceUri)}, stamp, [&] {
        return std::make_shared<const xml::Document>(loadDescriptionDocument(path, namespaceUri));
    });
}

std::shared_ptr<const xml::SchemaCache> sharedSchemaCache(std::string_view schemaPath) {
    return schemaCaches().get(std::string(schemaPath), folderStamp(schemaPath), [&] {
        return std::shared_ptr<const xml::SchemaCache>(buildSchemaCache(schemaPath));
    });
}

const std::shared_ptr<const xml::Document>& unboundDescriptionDocument() {
    static const std::shared_ptr<const xml::Document> empty = std::make_shared<const xml::Document>();
    return empty;
}

}  // namespace engine
