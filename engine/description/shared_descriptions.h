#pragma once
// Parsed description documents and compiled schema caches do not change once
// built, so every DTM instance of this module that names the same files shares
// one copy instead of parsing its own (a frame holds one DTM per device of a
// plant). An entry is keyed by the file's path and its modification stamp
// (time and size): a file changed on disk is read afresh, and instances bound
// before keep the copy they have. An entry lives as long as an instance holds
// it; nothing is kept for a file that failed to load.

#include <memory>
#include <string>
#include <string_view>

#include "platform/xml/document.h"
#include "platform/xml/schema_cache.h"

namespace engine {

// loadDescriptionDocument(path, namespaceUri), shared. Raises as it does.
std::shared_ptr<const xml::Document> sharedDescriptionDocument(const std::string& path,
                                                              std::string_view namespaceUri);

// buildSchemaCache(schemaPath), shared while no schema file of the folder
// changed, came or went. Raises as it does.
std::shared_ptr<const xml::SchemaCache> sharedSchemaCache(std::string_view schemaPath);

// The document of an instance that has not been bound to a description.
const std::shared_ptr<const xml::Document>& unboundDescriptionDocument();

}  // namespace engine
