#include "tests/positioner/positioner_session.h"

#include "frame/error_box_host.h"
#include "platform/com/activation.h"

// The engine's task-modal error boxes reach the host program through this
// function; the session records them as frame events.
extern "C" __attribute__((visibility("default"))) int HartDtmMessageBox(const char* text,
                                                                        const char* caption,
                                                                        unsigned flags) {
    return frame::showHostErrorBox(text, caption, flags);
}

namespace positioner_test {

void registerDeliverables() {
    const char* registry = std::getenv("HARTDTM_REGISTRY");
    if (registry == nullptr || *registry == '\0') {
        const std::string path = (binaryRoot() / "test-registry/test_positioner").string();
        setenv("HARTDTM_REGISTRY", path.c_str(), 1);
    }
    for (const std::filesystem::path& module : {engineModule(), positionerModule()}) {
        ASSERT_EQ(com::registerServer(module), S_OK)
            << module << ": " << com::lastActivationError();
    }
}

RecordingLine::RecordingLine(std::unique_ptr<frame::HartBackend> line) : line_(std::move(line)) {}

frame::LineAnswer RecordingLine::transact(std::uint8_t command,
                                          std::span<const std::uint8_t> request) {
    commands_.push_back(command);
    return simulator().transact(command, request);
}

void PositionerSession::SetUp() {
    registerDeliverables();
    session_ = std::make_unique<frame::SessionLoop>(frame::SessionLoop::Clock::Virtual);
    hartdtm::loop::EventLoop* loop = &session_->loop();
    frame::BackendOpen open = frame::openBackend("sim:positioner", sourceRoot() / "devices",
                                                 [loop] { return loop->now().count(); });
    ASSERT_TRUE(open) << open.error;
    line_ = std::make_unique<RecordingLine>(std::move(open.backend));

    IFdtContainer* container = nullptr;
    ASSERT_EQ(com::ComInstance<frame::FrameHost>::create(nullptr, IFdtContainer::iid,
                                                         reinterpret_cast<void**>(&container),
                                                         sourceRoot() / "devices/schemas"),
              S_OK);
    container_ = com::ComPtr<IFdtContainer>::attach(container);
    host_ = static_cast<frame::FrameHost*>(container);
    frame::setErrorBoxLog(&host_->events());

    IFdtCommunication* communication = nullptr;
    ASSERT_EQ(com::ComInstance<frame::FrameCommunication>::create(
                  nullptr, IFdtCommunication::iid, reinterpret_cast<void**>(&communication),
                  static_cast<frame::HartBackend&>(*line_), frame::CommunicationSettings{}),
              S_OK);
    communication_ = com::ComPtr<IFdtCommunication>::attach(communication);
    communicationImpl_ = static_cast<frame::FrameCommunication*>(communication);

    ASSERT_EQ(
        CoCreateInstance(CLSID_BasicDTM, nullptr, CLSCTX_INPROC_SERVER, IDtm::iid, dtm_.putVoid()),
        S_OK)
        << com::lastActivationError();
    priv_ = dtm_.as<IQadGenericDTMObject>();
    ASSERT_TRUE(priv_);
}

void PositionerSession::TearDown() {
    if (dtm_ && !released_) release();
    priv_.reset();
    dtm_.reset();
    if (communicationImpl_) communicationImpl_->shutdown();
    communication_.reset();
    frame::setErrorBoxLog(nullptr);
    container_.reset();
    // Modules stay loaded: the XML layer inside them leaves a process-wide
    // libxml2 entity loader behind that must not dangle.
}

VARIANT_BOOL PositionerSession::environment() {
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_EQ(dtm_->Environment(text("POS-1").get(), container_.get(), &ok), S_OK);
    return ok;
}

void PositionerSession::bringOnline() {
    ASSERT_EQ(environment(), VARIANT_TRUE);
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(dtm_->InitNew(nullptr, &ok), S_OK);
    ASSERT_EQ(ok, VARIANT_TRUE);
    ASSERT_EQ(dtm_->Config(text(userInformation("maintenance")).get(), &ok), S_OK);
    ASSERT_EQ(ok, VARIANT_TRUE);
    ASSERT_EQ(dtm_->SetCommunication(communication_.get(), &ok), S_OK);
    ASSERT_EQ(ok, VARIANT_TRUE);
    communicationSet_ = true;

    const auto online = dtm_.as<IDtmOnlineParameter>();
    ASSERT_TRUE(online);
    const std::size_t mark = events().size();
    ASSERT_EQ(online->UploadRequest(text("upload-1").get(), nullptr, &ok), S_OK);
    ASSERT_EQ(ok, VARIANT_TRUE);
    ASSERT_TRUE(session_->runUntil(
        [&] { return events().find("upload-finished", "upload-1", mark) != nullptr; }, 60s));
    EXPECT_EQ(events().find("upload-finished", "upload-1", mark)->fields.at(1), "TRUE");
    settle();
}

void PositionerSession::goOffline() {
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(dtm_->PrepareToReleaseCommunication(&ok), S_OK);
    settle();
    ASSERT_EQ(dtm_->ReleaseCommunication(&ok), S_OK);
    ASSERT_EQ(ok, VARIANT_TRUE);
    communicationSet_ = false;
}

void PositionerSession::reconnect() {
    VARIANT_BOOL ok = VARIANT_FALSE;
    ASSERT_EQ(dtm_->SetCommunication(communication_.get(), &ok), S_OK);
    ASSERT_EQ(ok, VARIANT_TRUE);
    communicationSet_ = true;
    settle();
}

void PositionerSession::release() {
    released_ = true;
    VARIANT_BOOL ok = VARIANT_FALSE;
    if (communicationSet_) {
        dtm_->PrepareToReleaseCommunication(&ok);
        settle();
        EXPECT_EQ(dtm_->ReleaseCommunication(&ok), S_OK);
        EXPECT_EQ(ok, VARIANT_TRUE);
        communicationSet_ = false;
    }
    EXPECT_EQ(dtm_->PrepareToRelease(&ok), S_OK);
    settle();
}

std::string PositionerSession::value(std::int32_t parameter) {
    com::Bstr out;
    EXPECT_EQ(priv_->GetValue(id(parameter), out.out()), S_OK);
    return out.utf8();
}

void PositionerSession::setValue(std::int32_t parameter, std::string_view textValue) {
    com::Bstr in = text(textValue);
    BSTR raw = in.get();
    EXPECT_EQ(priv_->SetValue(id(parameter), &raw), S_OK);
}

bool PositionerSession::valid(std::int32_t parameter) {
    VARIANT_BOOL flag = VARIANT_FALSE;
    EXPECT_EQ(priv_->IsValid(id(parameter), &flag), S_OK);
    return flag != VARIANT_FALSE;
}

bool PositionerSession::visible(std::int32_t parameter) {
    VARIANT_BOOL flag = VARIANT_FALSE;
    EXPECT_EQ(priv_->IsVisible(id(parameter), &flag), S_OK);
    return flag != VARIANT_FALSE;
}

std::string PositionerSession::translated(std::string_view key) {
    com::Bstr out;
    EXPECT_EQ(priv_->GetTranslatedString(text(key).get(), out.out()), S_OK);
    return out.utf8();
}

void PositionerSession::act(std::string_view script) {
    com::Bstr action = text(script);
    BSTR raw = action.get();
    EXPECT_EQ(priv_->DoAction(&raw, nullptr), S_OK);
}

void PositionerSession::run(std::string_view script) {
    act(script);
    settle();
}

void PositionerSession::press(std::int32_t button, std::int32_t procedure) {
    run("setvalue[" + std::to_string(button) + "=" + std::to_string(procedure) + "]");
}

void PositionerSession::settle() {
    EXPECT_TRUE(session_->settle(120s)) << "deferred work did not end";
}

simulator::PositionerBehaviour& PositionerSession::device() {
    simulator::PositionerBehaviour* behaviour = line_->simulator().package().positioner();
    EXPECT_NE(behaviour, nullptr);
    return *behaviour;
}

void PositionerSession::enterSetupMode() {
    answer({"buttonOk"});
    run("setvalue[360852134=0],download[135]");
    ASSERT_EQ(value(1988910801), "0");
}

std::vector<int> PositionerSession::commandsFrom(std::size_t mark) const {
    return {commands().begin() + static_cast<std::ptrdiff_t>(std::min(mark, commands().size())),
            commands().end()};
}

std::vector<std::string> PositionerSession::messagesFrom(std::size_t from) const {
    std::vector<std::string> texts;
    const auto& all = host_->events().events();
    for (std::size_t i = from; i < all.size(); ++i) {
        if (all[i].kind == "message") texts.push_back(all[i].fields.at(2));
    }
    return texts;
}

void PositionerSession::answer(std::initializer_list<const char*> buttons) {
    host_->dialog().queueAnswers(std::vector<std::string>(buttons.begin(), buttons.end()));
}

}  // namespace positioner_test
