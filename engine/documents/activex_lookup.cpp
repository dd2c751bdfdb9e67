#include "engine/documents/activex_lookup.h"

#include "engine/description/reference_id.h"
#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "platform/com/guid.h"

namespace engine {

int32_t functionIdOf(std::string_view functionCall) {
    try {
        xml::Document call;
        call.setAsync(false);
        call.setValidateOnParse(false);
        if (!call.loadXML(functionCall)) return 0;
        call.setProperty("SelectionLanguage", "XPath");
        call.setProperty("SelectionNamespaces", "xmlns:func='x-schema:DTMFunctionsSchema.xml'");
        const xml::Node id = call.selectSingleNode("//@func:functionId");
        return id ? parseLeadingDecimal(id.text()) : 0;
    } catch (...) {
        return 0;
    }
}

std::optional<std::string> activeXProgId(const xml::Document& dtmDocument,
                                         std::string_view functionCall) {
    const int32_t functionId = functionIdOf(functionCall);
    if (functionId < kFirstViewFunctionId || functionId > kLastViewFunctionId) return std::nullopt;
    try {
        if (const xml::Node progId =
                dtmDocument.selectSingleNode("//user:DeviceView/@activex_prog_id")) {
            return progId.text();
        }
        return std::string(kDefaultViewProgId);
    } catch (...) {
        return std::nullopt;
    }
}

std::optional<std::string> activeXGuid(const xml::Document& dtmDocument,
                                       std::string_view functionCall) {
    const std::optional<std::string> progId = activeXProgId(dtmDocument, functionCall);
    if (!progId) return std::nullopt;
    try {
        const std::u16string name = com::utf8ToUtf16(*progId);
        CLSID clsid{};
        if (FAILED(CLSIDFromProgID(name.c_str(), &clsid))) return std::nullopt;
        return com::formatGuidBare(clsid);
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace engine
