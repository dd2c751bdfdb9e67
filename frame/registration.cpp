#include "frame/registration.h"

#include "frame/hresult_text_p.h"
#include "platform/com/activation.h"
#include "platform/com/registry.h"

namespace frame {
namespace {

std::string withLoaderReason(std::string message) {
    const std::string reason = com::lastActivationError();
    if (!reason.empty()) message += ": " + reason;
    return message;
}

com::Status runServerEntry(const std::filesystem::path& library, bool doRegister) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(library, error);
    if (error || !std::filesystem::is_regular_file(full, error))
        return com::Status::failure(CO_E_DLLNOTFOUND, "no module file " + library.string());
    const HRESULT hr = doRegister ? com::registerServer(full) : com::unregisterServer(full);
    if (SUCCEEDED(hr)) return com::Status::ok();
    return com::Status::failure(
        hr, withLoaderReason((doRegister ? "registering " : "unregistering ") + full.string() +
                             " failed (" + hresultText(hr) + ")"));
}

}  // namespace

com::Status registerDeliverable(const std::filesystem::path& library) {
    return runServerEntry(library, true);
}

com::Status unregisterDeliverable(const std::filesystem::path& library) {
    return runServerEntry(library, false);
}

com::Status createByProgId(std::string_view progId, com::ComPtr<IUnknown>& object, CLSID& clsid) {
    const std::u16string name = com::utf8ToUtf16(progId);
    if (FAILED(CLSIDFromProgID(name.c_str(), &clsid))) {
        return com::Status::failure(
            REGDB_E_CLASSNOTREG, "ProgID '" + std::string(progId) + "' is not registered in " +
                                     com::registryPath().string() +
                                     " (choose another registry with --registry PATH or the "
                                     "environment variable HARTDTM_REGISTRY)");
    }
    const HRESULT hr =
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IUnknown::iid, object.putVoid());
    if (FAILED(hr)) {
        return com::Status::failure(
            hr, withLoaderReason("creating " + com::formatGuid(clsid) + " (" + std::string(progId) +
                                 ") failed (" + hresultText(hr) + ")"));
    }
    return com::Status::ok();
}

}  // namespace frame
