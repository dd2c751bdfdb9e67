// Feeds arbitrary data-set texts to a DTM through both persistence
// interfaces: the first byte chooses IPersistStreamInit (even: the rest is
// the stream's bytes, count and UTF-16 text) or IPersistPropertyBag (odd: the
// rest is the "Parameters" text). The loaded DTM then gets its Environment
// and Config, answers its documents and saves again.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/dtm_fuzz_fixture.h"
#include "platform/com/memory_stream.h"
#include "platform/com/property_bag.h"
#include "platform/com/variant.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    fuzz_dtm::DtmUnderTest dtm;
    if ((data[0] & 1) == 0) {
        com::ComPtr<IStream> stream;
        com::createMemoryStream(std::vector<std::uint8_t>(data + 1, data + size), stream.put());
        dtm.dtm.as<IPersistStreamInit>()->Load(stream.get());
    } else {
        com::ComPtr<IPropertyBag> bag;
        com::createPropertyBag(bag.put());
        const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
        com::Variant value = com::Variant::fromText(text);
        bag->Write(u"Parameters", value.get());
        dtm.dtm.as<IPersistPropertyBag>()->Load(bag.get(), nullptr);
    }
    if (!dtm.configured()) return 0;
    dtm.readDocuments();
    com::ComPtr<IStream> saved;
    com::createMemoryStream(saved.put());
    dtm.dtm.as<IPersistStreamInit>()->Save(saved.get(), TRUE);
    return 0;
}
