// Feeds arbitrary user-information documents to a DTM's Config, and the same
// text as the frame's answer to a user message.

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/description/shared_descriptions.h"
#include "engine/documents/user_documents.h"
#include "fuzz/dtm_fuzz_fixture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const auto schemas = engine::sharedSchemaCache(fuzz_dtm::sourceFile("devices/schemas"));
    const std::string document(reinterpret_cast<const char*>(data), size);
    engine::readUserMessageAnswer(document, schemas);
    fuzz_dtm::DtmUnderTest dtm;
    if (!dtm.environment() || !dtm.initNew()) return 0;
    if (dtm.config(document)) dtm.readDocuments();
    return 0;
}
