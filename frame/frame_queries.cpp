// The frame session's document and value commands.

#include "frame/frame_documents.h"
#include "frame/frame_result_p.h"
#include "frame/frame_session.h"
#include "platform/com/file_io.h"

namespace frame {
namespace {

com::Variant idVariant(std::int32_t id) {
    return com::Variant(id);
}

}  // namespace

CommandResult Frame::information() {
    const auto info = dtmAs<IDtmInformation>();
    if (!info) return dtm_ ? CommandResult::failure("the DTM has no IDtmInformation") : noDtm();
    com::Bstr text;
    const HRESULT hr = info->GetInformation(text.out());
    settle();
    return textResult("GetInformation", hr, text);
}

CommandResult Frame::identification() {
    const auto ident = dtmAs<IDtmDeviceIdentification>();
    if (!ident)
        return dtm_ ? CommandResult::failure("the DTM has no IDtmDeviceIdentification") : noDtm();
    com::Bstr text;
    const HRESULT hr = ident->GetDeviceIdentificationInformation(
        com::Bstr::fromUtf8(idl::fdt::kHartProtocolId).get(), com::Bstr::fromUtf8("").get(),
        text.out());
    settle();
    return textResult("GetDeviceIdentificationInformation", hr, text);
}

CommandResult Frame::functions(std::string_view operationPhase) {
    const auto dtm = dtmAs<IDtm>();
    if (!dtm) return noDtm();
    const std::string phase =
        operationPhaseDocument(operationPhase.empty() ? "engineering" : operationPhase);
    com::Bstr text;
    const HRESULT hr = dtm->GetFunctions(com::Bstr::fromUtf8(phase).get(), text.out());
    settle();
    return textResult("GetFunctions", hr, text);
}

CommandResult Frame::activeX(long functionId) {
    const auto info = dtmAs<IDtmActiveXInformation>();
    if (!info)
        return dtm_ ? CommandResult::failure("the DTM has no IDtmActiveXInformation") : noDtm();
    const com::Bstr call = com::Bstr::fromUtf8(functionCallDocument(functionId));
    com::Bstr progId, guid;
    const HRESULT progHr = info->GetActiveXProgId(call.get(), progId.out());
    const HRESULT guidHr = info->GetActiveXGuid(call.get(), guid.out());
    settle();
    if (FAILED(progHr) || FAILED(guidHr))
        return CommandResult::failure("GetActiveXProgId/GetActiveXGuid failed (" +
                                      hresultText(FAILED(progHr) ? progHr : guidHr) + ")");
    const auto shown = [](const com::Bstr& text) {
        return text.isNull() ? std::string("(none)") : text.utf8();
    };
    return CommandResult::success(shown(progId) + "\n" + shown(guid));
}

CommandResult Frame::parameters() {
    const auto parameter = dtmAs<IDtmParameter>();
    if (!parameter) return dtm_ ? CommandResult::failure("the DTM has no IDtmParameter") : noDtm();
    com::Bstr text;
    const HRESULT hr = parameter->GetParameters(com::Bstr::fromUtf8("").get(), text.out());
    settle();
    return textResult("GetParameters", hr, text);
}

CommandResult Frame::setParameters(const std::filesystem::path& document) {
    const auto parameter = dtmAs<IDtmParameter>();
    if (!parameter) return dtm_ ? CommandResult::failure("the DTM has no IDtmParameter") : noDtm();
    com::FileContent content;
    if (const com::Status read = com::readWholeFile(document, content); !read || !content.exists)
        return CommandResult::failure("cannot read " + document.string() +
                                      (read ? "" : ": " + read.reason));
    VARIANT_BOOL result = VARIANT_FALSE;
    const HRESULT hr = parameter->SetParameters(com::Bstr::fromUtf8("").get(),
                                                com::Bstr::fromUtf8(content.bytes).get(), &result);
    settle();
    return booleanResult("SetParameters", hr, result);
}

CommandResult Frame::get(std::int32_t id) {
    const auto engine = dtmAs<IQadGenericDTMObject>();
    if (!engine)
        return dtm_ ? CommandResult::failure("the DTM has no IQadGenericDTMObject") : noDtm();
    com::Bstr value;
    const HRESULT hr = engine->GetValue(*idVariant(id).get(), value.out());
    return textResult("GetValue", hr, value);
}

CommandResult Frame::set(std::int32_t id, std::string_view text) {
    const auto engine = dtmAs<IQadGenericDTMObject>();
    if (!engine)
        return dtm_ ? CommandResult::failure("the DTM has no IQadGenericDTMObject") : noDtm();
    // The slot is [in,out]: whatever it holds afterwards is the frame's.
    BSTR slot = com::allocBstr(text);
    const HRESULT hr = engine->SetValue(*idVariant(id).get(), &slot);
    com::Bstr::attach(slot);
    settle();
    if (FAILED(hr)) return CommandResult::failure("SetValue failed (" + hresultText(hr) + ")");
    return get(id);
}

}  // namespace frame
