#pragma once
// A frame session: the host side of the DTMs of a project, driven command by
// command (the verbs of the dtmframe scripts). The session owns the frame
// object (container, events, dialog), the HART line and its communication
// interface, and the DTMs it created; commands address the current one. Every
// DTM call runs on the session's loop, and a command returns once the work it
// started has ended.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "frame/event_log.h"
#include "frame/hart_communication.h"
#include "frame/session_loop.h"
#include "idl/fdt_dtm.h"
#include "idl/qad_generic_dtm.h"
#include "platform/com/comptr.h"
#include "platform/com/status.h"

namespace frame {

class FrameHost;
class ActionObserver;
class SimulatorBackend;
class DataSetLocks;
class UserDialog;

struct FrameOptions {
    // Device packages and, in its "schemas" folder, the FDT schema set.
    std::filesystem::path devicesRoot;
    // The HART line for setcommunication ("sim:positioner"); empty: none.
    std::string deviceSpec;
    CommunicationSettings communication;
    // Receives the line's traffic, one line per request and answer; may be empty.
    FrameCommunication::Trace lineTrace;
    // How long a command lets the DTM's deferred work run before it returns.
    Milliseconds settleLimit{10000};
    // How long upload and download wait for their finished event.
    Milliseconds transferLimit{120000};
};

// The devices folder of the installation: HARTDTM_DEVICES when set, else the
// one the build knows.
std::filesystem::path defaultDevicesRoot();

// What one command printed, or why it failed (output may still hold what it
// got, such as FALSE). No output prints nothing; an empty one an empty line.
struct CommandResult {
    bool ok = true;
    std::optional<std::string> output;
    std::string error;

    static CommandResult success() { return {true, std::nullopt, {}}; }
    static CommandResult success(std::string output) { return {true, std::move(output), {}}; }
    static CommandResult failure(std::string error) {
        return {false, std::nullopt, std::move(error)};
    }
    static CommandResult failure(std::string error, std::string output) {
        return {false, std::move(output), std::move(error)};
    }
};

class Frame {
public:
    // The loop must outlive the frame; it is current while the frame works.
    Frame(SessionLoop& loop, FrameOptions options);
    ~Frame();
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    // Opens the line of options.deviceSpec; nothing to do without one.
    // Simulator warnings go to `warnings`.
    com::Status openDevice(std::vector<std::string>* warnings = nullptr);

    EventLog& events();
    UserDialog& dialog();
    DataSetLocks& locks();
    SessionLoop& loop() { return loop_; }
    // The communication interface once setcommunication made it, else null.
    FrameCommunication* communication() { return communicationImpl_; }
    // The line when it is the simulator, else null.
    SimulatorBackend* simulator();
    // The line opened by openDevice(), or null.
    HartBackend* line() { return backend_.get(); }
    // A current DTM exists.
    bool hasDtm() const { return static_cast<bool>(dtm_); }
    // The DTMs held, the current one included.
    std::size_t dtmCount() const { return others_.size() + (dtm_ ? 1 : 0); }
    // The current DTM (null without one), for driving it directly.
    com::ComPtr<IUnknown> dtm() const { return dtm_; }
    const std::string& systemTag() const { return systemTag_; }

    // Lets deferred work run until the loop is idle (at most the settle limit).
    void settle();

    // --- registry ---
    CommandResult registerLibrary(const std::filesystem::path& library);
    CommandResult unregisterLibrary(const std::filesystem::path& library);

    // --- the DTM's life ---
    // Creates a DTM and makes it the current one; the DTMs held before stay
    // (see use). Output: its CLSID.
    CommandResult create(std::string_view progId);
    // Makes the DTM whose Environment gave it `systemTag` the current one.
    // Output: the system tag.
    CommandResult use(std::string_view systemTag);
    // One line per DTM held, in creation order: "*" for the current one or
    // " ", its system tag ("-" before Environment) and its ProgID.
    CommandResult list() const;
    // For a bare engine: SetDeviceDescription with the four files of a package
    // (one argument: a folder, or a package name below the devices root; four:
    // the .zor, description, icon and language files).
    CommandResult bind(const std::vector<std::string>& files);
    CommandResult environment(std::string_view systemTag);
    CommandResult initNew();
    CommandResult config(std::string_view userLevel);
    CommandResult language(long languageId);
    // Hands the DTM the communication interface and lets it connect.
    CommandResult setCommunication();
    // PrepareToReleaseCommunication, the disconnect, ReleaseCommunication.
    CommandResult releaseCommunication();
    // Releases the current DTM's communication when it is set, then
    // PrepareToRelease; the DTM is dropped (no DTM is current afterwards) and
    // unused modules unloaded.
    CommandResult release();
    // The end of the session, as a frame closing its project: every DTM still
    // held, the current one first and then in creation order, is released as
    // release() does and then dropped, also when it refused a step. The output
    // holds one line of result per DTM; it fails when one refused. Without a
    // DTM nothing happens (no output). The destructor closes.
    CommandResult close();

    // --- documents and values ---
    CommandResult information();
    CommandResult identification();
    CommandResult functions(std::string_view operationPhase);
    CommandResult activeX(long functionId);
    CommandResult parameters();
    CommandResult setParameters(const std::filesystem::path& document);
    CommandResult get(std::int32_t id);
    // Output: the value the DTM holds afterwards.
    CommandResult set(std::int32_t id, std::string_view text);

    // --- device work ---
    // The frame's upload or download request; waits for its finished event.
    CommandResult upload();
    CommandResult download();
    // DoAction with the frame's observer; waits until the work has ended. Fails
    // when the DTM reported an error message meanwhile.
    CommandResult action(std::string_view script);
    CommandResult wait(Milliseconds duration);

    // --- the user and the frame's own faults ---
    CommandResult answer(const std::vector<std::string>& buttons);
    // "refuse connect|disconnect|transaction|lock [COUNT]", "drop [COUNT]",
    // "next COUNT FAULT", "command NUMBER TIMES FAULT" (TIMES 0: until
    // cleared), "clear"; FAULT as the simulator reads it ("rc=32",
    // "status=0xC2", "commerror=REASON", "noanswer").
    CommandResult fault(std::string_view spec);

    // --- the line ---
    // Lists the devices that answer command 0 at the polling addresses
    // FIRST-LAST (0-15 when empty) and the registered DTMs that fit each.
    CommandResult scan(std::string_view range);

    // --- persistence ---
    CommandResult save(const std::filesystem::path& file);
    CommandResult load(const std::filesystem::path& file);

private:
    template <class Itf>
    com::ComPtr<Itf> dtmAs() const {
        return dtm_ ? dtm_.as<Itf>() : com::ComPtr<Itf>();
    }
    CommandResult noDtm() const;
    // What each registered DTM says it identifies: manufacturer and device type.
    struct DtmIdentity {
        std::string progId;
        unsigned manufacturer = 0;
        unsigned deviceType = 0;
        bool generic = false;   // serves any device of `revision`, after the specific DTMs
        unsigned revision = 0;  // universal command revision (generic only)
    };
    std::vector<DtmIdentity> registeredIdentifications();
    CommandResult transfer(bool download);
    com::Status ensureCommunication();
    // Drops the DTM and everything that refers to it, without calls into it.
    void dropDtm();
    // A DTM held while another is current.
    struct HeldDtm {
        com::ComPtr<IUnknown> dtm;
        std::string progId;
        std::string systemTag;
        bool communicationSet = false;
        std::uint64_t serial = 0;  // creation order
    };
    // Moves the current DTM (if any) among the others; none is current then.
    void parkCurrent();
    void makeCurrent(HeldDtm held);
    bool tagTaken(std::string_view systemTag) const;

    SessionLoop& loop_;
    FrameOptions options_;
    std::unique_ptr<class HartBackend> backend_;
    com::ComPtr<IFdtContainer> host_;
    FrameHost* hostImpl_ = nullptr;
    com::ComPtr<IFdtCommunication> communication_;
    FrameCommunication* communicationImpl_ = nullptr;
    com::ComPtr<IObserver> observer_;
    com::ComPtr<IUnknown> dtm_;
    std::string progId_;
    std::string systemTag_;
    bool communicationSet_ = false;
    std::uint64_t serial_ = 0;  // the current DTM's creation order
    std::uint64_t created_ = 0;
    std::vector<HeldDtm> others_;
    std::uint64_t invokeIds_ = 0;
};

}  // namespace frame
