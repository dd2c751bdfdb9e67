// Feeds arbitrary function-call documents to a configured DTM: the ActiveX
// look-ups by function call, InvokeFunctionRequest, and GetFunctions with the
// input as its operation phase.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/dtm_fuzz_fixture.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_dtm::DtmUnderTest dtm;
    if (!dtm.configured()) return 0;
    const com::Bstr call = com::Bstr::fromUtf8(std::string(reinterpret_cast<const char*>(data), size));
    const auto activeX = dtm.dtm.as<IDtmActiveXInformation>();
    com::Bstr guid, progId, functions;
    activeX->GetActiveXGuid(call.get(), guid.out());
    activeX->GetActiveXProgId(call.get(), progId.out());
    VARIANT_BOOL invoked = VARIANT_FALSE;
    dtm.dtm->InvokeFunctionRequest(com::Bstr::fromUtf8("invoke-1").get(), call.get(), &invoked);
    dtm.dtm->GetFunctions(call.get(), functions.out());
    return 0;
}
