// The frame session's own parts: construction, the line, the registry, the
// DTM's creation, binding and release, and its data-set files.

#include "frame/frame_session.h"

#include <cstdlib>

#include "frame/action_observer.h"
#include "frame/data_set_file.h"
#include "frame/error_box_host.h"
#include "frame/frame_host.h"
#include "frame/frame_result_p.h"
#include "frame/registration.h"
#include "frame/lines/line_factory.h"
#include "frame/simulator_backend.h"
#include "platform/com/activation.h"

namespace frame {

std::filesystem::path defaultDevicesRoot() {
    if (const char* configured = std::getenv("HARTDTM_DEVICES"); configured && *configured)
        return configured;
    return HARTDTM_DEVICES_DIR;
}

Frame::Frame(SessionLoop& loop, FrameOptions options) : loop_(loop), options_(std::move(options)) {
    if (options_.devicesRoot.empty()) options_.devicesRoot = defaultDevicesRoot();
    com::ComInstance<FrameHost>::create(nullptr, IFdtContainer::iid, host_.putVoid(),
                                        options_.devicesRoot / "schemas");
    hostImpl_ = static_cast<FrameHost*>(host_.get());
    com::ComInstance<ActionObserver>::create(nullptr, IObserver::iid, observer_.putVoid(),
                                             hostImpl_->events());
    setErrorBoxLog(&hostImpl_->events());
}

Frame::~Frame() {
    try {
        close();
    } catch (...) {
        // Ending goes on without the DTM's answers.
    }
    dropDtm();
    if (communicationImpl_) communicationImpl_->shutdown();
    communication_.reset();
    communicationImpl_ = nullptr;
    observer_.reset();
    setErrorBoxLog(nullptr);
    CoFreeUnusedLibraries();
}

EventLog& Frame::events() {
    return hostImpl_->events();
}
UserDialog& Frame::dialog() {
    return hostImpl_->dialog();
}
DataSetLocks& Frame::locks() {
    return hostImpl_->locks();
}

SimulatorBackend* Frame::simulator() {
    return dynamic_cast<SimulatorBackend*>(backend_.get());
}

com::Status Frame::openDevice(std::vector<std::string>* warnings) {
    if (options_.deviceSpec.empty() || backend_) return com::Status::ok();
    hartdtm::loop::EventLoop* loop = &loop_.loop();
    BackendOpen open = openLine(
        options_.deviceSpec, options_.devicesRoot,
        [loop] { return static_cast<std::int64_t>(loop->now().count()); }, loop_.descriptors());
    if (!open) return com::Status::failure(E_INVALIDARG, open.error);
    if (warnings) *warnings = std::move(open.warnings);
    backend_ = std::move(open.backend);
    return com::Status::ok();
}

void Frame::settle() {
    loop_.settle(options_.settleLimit);
}

CommandResult Frame::noDtm() const {
    return CommandResult::failure("no DTM: create one first");
}

// --- registry ---

CommandResult Frame::registerLibrary(const std::filesystem::path& library) {
    const com::Status status = registerDeliverable(library);
    return status ? CommandResult::success("TRUE") : CommandResult::failure(status.reason);
}

CommandResult Frame::unregisterLibrary(const std::filesystem::path& library) {
    const com::Status status = unregisterDeliverable(library);
    return status ? CommandResult::success("TRUE") : CommandResult::failure(status.reason);
}

// --- creation and binding ---

CommandResult Frame::create(std::string_view progId) {
    if (dtm_) return CommandResult::failure("a DTM exists (" + progId_ + "): release it first");
    com::ComPtr<IUnknown> object;
    CLSID clsid;
    if (const com::Status status = createByProgId(progId, object, clsid); !status)
        return CommandResult::failure(status.reason);
    if (!object.as<IDtm>())
        return CommandResult::failure(std::string(progId) + " is not a DTM (no IDtm)");
    dtm_ = std::move(object);
    progId_ = std::string(progId);
    return CommandResult::success(com::formatGuid(clsid));
}

namespace {

struct PackageFiles {
    std::filesystem::path zor, description, icon, language;
};

// The one file in `folder` that `accept` takes, or an error naming the count.
std::optional<std::filesystem::path> onlyFile(
    const std::filesystem::path& folder, std::string_view what,
    const std::function<bool(const std::filesystem::path&)>& accept, std::string& error) {
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        if (entry.is_regular_file(ec) && accept(entry.path())) found.push_back(entry.path());
    }
    if (found.size() == 1) return found.front();
    error = folder.string() + " holds " + std::to_string(found.size()) + " " + std::string(what) +
            " files, not one";
    return std::nullopt;
}

std::optional<PackageFiles> packageFiles(const std::filesystem::path& folder, std::string& error) {
    const auto extension = [](std::string_view ext) {
        return [ext](const std::filesystem::path& p) { return p.extension() == ext; };
    };
    PackageFiles files;
    auto zor = onlyFile(folder, ".zor", extension(".zor"), error);
    auto description = onlyFile(
        folder, "description .xml",
        [](const std::filesystem::path& p) {
            return p.extension() == ".xml" && p.filename() != "simulator-profile.xml";
        },
        error);
    auto icon = onlyFile(folder, ".ico", extension(".ico"), error);
    auto language = onlyFile(folder, ".dct", extension(".dct"), error);
    if (!zor || !description || !icon || !language) return std::nullopt;
    return PackageFiles{*zor, *description, *icon, *language};
}

}  // namespace

CommandResult Frame::bind(const std::vector<std::string>& files) {
    const auto engine = dtmAs<IQadGenericDTMObject>();
    if (!engine)
        return dtm_ ? CommandResult::failure("the DTM has no IQadGenericDTMObject to bind")
                    : noDtm();
    PackageFiles package;
    if (files.size() == 1) {
        std::filesystem::path folder = files.front();
        std::error_code ec;
        if (!std::filesystem::is_directory(folder, ec))
            folder = options_.devicesRoot / files.front();
        if (!std::filesystem::is_directory(folder, ec))
            return CommandResult::failure("no package folder " + files.front());
        std::string error;
        std::optional<PackageFiles> found = packageFiles(folder, error);
        if (!found) return CommandResult::failure(error);
        package = *found;
    } else if (files.size() == 4) {
        package = {files[0], files[1], files[2], files[3]};
    } else {
        return CommandResult::failure("bind takes a package folder or the four files");
    }
    const auto bstr = [](const std::filesystem::path& p) {
        return com::Bstr::fromUtf8(p.string());
    };
    const HRESULT hr =
        engine->SetDeviceDescription(bstr(package.zor).get(), bstr(package.description).get(),
                                     bstr(package.icon).get(), bstr(package.language).get());
    if (FAILED(hr))
        return CommandResult::failure("SetDeviceDescription failed (" + hresultText(hr) + ")");
    return CommandResult::success(
        package.zor.filename().string() + "\n" + package.description.filename().string() + "\n" +
        package.icon.filename().string() + "\n" + package.language.filename().string());
}

// --- release ---

CommandResult Frame::release() {
    const auto dtm = dtmAs<IDtm>();
    if (!dtm) return noDtm();
    if (communicationSet_) {
        if (CommandResult released = releaseCommunication(); !released.ok) return released;
    }
    VARIANT_BOOL result = VARIANT_FALSE;
    const HRESULT hr = dtm->PrepareToRelease(&result);
    settle();
    CommandResult outcome = booleanResult("PrepareToRelease", hr, result);
    if (outcome.ok) dropDtm();
    return outcome;
}

CommandResult Frame::close() {
    if (!dtm_) return CommandResult::success();
    CommandResult result = release();
    if (dtm_) dropDtm();
    return result;
}

void Frame::dropDtm() {
    // A connection the DTM did not end dies with it.
    if (communicationImpl_) communicationImpl_->shutdown();
    dtm_.reset();
    progId_.clear();
    systemTag_.clear();
    communicationSet_ = false;
    CoFreeUnusedLibraries();
}

// --- data-set files ---

CommandResult Frame::save(const std::filesystem::path& file) {
    if (!dtm_) return noDtm();
    const com::Status status = saveDataSet(*dtm_.get(), file);
    settle();
    return status ? CommandResult::success("TRUE") : CommandResult::failure(status.reason);
}

CommandResult Frame::load(const std::filesystem::path& file) {
    if (!dtm_) return noDtm();
    const com::Status status = loadDataSet(*dtm_.get(), file);
    settle();
    return status ? CommandResult::success("TRUE") : CommandResult::failure(status.reason);
}

}  // namespace frame
