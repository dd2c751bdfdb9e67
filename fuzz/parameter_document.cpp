// Feeds arbitrary parameter documents to a configured DTM's SetParameters,
// then reads its parameter document back.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/dtm_fuzz_fixture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_dtm::DtmUnderTest dtm;
    if (!dtm.configured()) return 0;
    const std::string document(reinterpret_cast<const char*>(data), size);
    VARIANT_BOOL accepted = VARIANT_FALSE;
    dtm.dtm.as<IDtmParameter>()->SetParameters(nullptr, com::Bstr::fromUtf8(document).get(), &accepted);
    dtm.readDocuments();
    return 0;
}
