#pragma once

#include <memory>
#include <string_view>

#include "platform/xml/schema_cache.h"

namespace engine {

// Builds the schema cache from a schema directory (with or without a trailing
// separator): every "*.xml" file there (extension matched without regard to
// case, in name order) that loads and whose root element is named "Schema" is
// added under "x-schema:" + its file name. Files that do not load or have
// another root are skipped; a missing directory gives an empty cache. A schema
// that the cache refuses raises CDTMException "Error on creating SchemaCache".
std::shared_ptr<xml::SchemaCache> buildSchemaCache(std::string_view schemaPath);

}  // namespace engine
