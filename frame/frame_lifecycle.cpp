// The frame session's lifecycle commands: environment, initialisation, user
// level, language and the communication interface.

#include "frame/frame_documents.h"
#include "frame/frame_host.h"
#include "frame/frame_result_p.h"
#include "frame/frame_session.h"

namespace frame {

CommandResult Frame::environment(std::string_view systemTag) {
    const auto dtm = dtmAs<IDtm>();
    if (!dtm) return noDtm();
    const std::string tag = systemTag.empty() ? std::string("DTM-1") : std::string(systemTag);
    // The frame tells its DTMs apart by their system tags.
    if (tagTaken(tag)) return CommandResult::failure("another DTM has the system tag " + tag);
    VARIANT_BOOL result = VARIANT_FALSE;
    const HRESULT hr = dtm->Environment(com::Bstr::fromUtf8(tag).get(), host_.get(), &result);
    if (SUCCEEDED(hr) && result != VARIANT_FALSE) systemTag_ = tag;
    settle();
    return booleanResult("Environment", hr, result);
}

CommandResult Frame::initNew() {
    const auto dtm = dtmAs<IDtm>();
    if (!dtm) return noDtm();
    VARIANT_BOOL result = VARIANT_FALSE;
    const HRESULT hr = dtm->InitNew(com::Bstr::fromUtf8("").get(), &result);
    settle();
    return booleanResult("InitNew", hr, result);
}

CommandResult Frame::config(std::string_view userLevel) {
    const auto dtm = dtmAs<IDtm>();
    if (!dtm) return noDtm();
    const std::string document = userInformationDocument(userLevel, "dtmframe");
    VARIANT_BOOL result = VARIANT_FALSE;
    const HRESULT hr = dtm->Config(com::Bstr::fromUtf8(document).get(), &result);
    settle();
    return booleanResult("Config", hr, result);
}

CommandResult Frame::language(long languageId) {
    const auto dtm = dtmAs<IDtm>();
    if (!dtm) return noDtm();
    VARIANT_BOOL result = VARIANT_FALSE;
    const HRESULT hr = dtm->SetLanguage(static_cast<LONG>(languageId), &result);
    settle();
    return booleanResult("SetLanguage", hr, result);
}

com::Status Frame::ensureCommunication() {
    if (communication_) return com::Status::ok();
    if (!backend_) {
        if (com::Status opened = openDevice(); !opened) return opened;
        if (!backend_)
            return com::Status::failure(
                E_FAIL, "no device: give --device SPEC (sim:positioner, sim:level)");
    }
    const HRESULT hr = com::ComInstance<FrameCommunication>::create(
        nullptr, IFdtCommunication::iid, communication_.putVoid(), *backend_,
        options_.communication);
    if (FAILED(hr)) return com::Status::failure(hr, "cannot create the communication interface");
    communicationImpl_ = static_cast<FrameCommunication*>(communication_.get());
    communicationImpl_->setTrace(options_.lineTrace);
    return com::Status::ok();
}

CommandResult Frame::setCommunication() {
    const auto dtm = dtmAs<IDtm>();
    if (!dtm) return noDtm();
    if (const com::Status ready = ensureCommunication(); !ready)
        return CommandResult::failure(ready.reason);
    VARIANT_BOOL result = VARIANT_FALSE;
    const HRESULT hr = dtm->SetCommunication(communication_.get(), &result);
    if (SUCCEEDED(hr) && result != VARIANT_FALSE) communicationSet_ = true;
    settle();
    return booleanResult("SetCommunication", hr, result);
}

CommandResult Frame::releaseCommunication() {
    const auto dtm = dtmAs<IDtm>();
    if (!dtm) return noDtm();
    VARIANT_BOOL prepared = VARIANT_FALSE;
    const HRESULT hr = dtm->PrepareToReleaseCommunication(&prepared);
    settle();
    if (CommandResult result = booleanResult("PrepareToReleaseCommunication", hr, prepared);
        !result.ok)
        return result;
    VARIANT_BOOL released = VARIANT_FALSE;
    const HRESULT releaseHr = dtm->ReleaseCommunication(&released);
    settle();
    CommandResult result = booleanResult("ReleaseCommunication", releaseHr, released);
    if (result.ok) communicationSet_ = false;
    return result;
}

}  // namespace frame
