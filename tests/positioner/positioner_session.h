#pragma once
// A positioner DTM created from the registered deliverables and driven by
// the frame's host objects against the simulated positioner, on the virtual
// clock. The line records every command the device received.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "frame/event_log.h"
#include "frame/frame_host.h"
#include "frame/hart_communication.h"
#include "frame/registration.h"
#include "frame/session_loop.h"
#include "frame/simulator_backend.h"
#include "idl/fdt_dtm.h"
#include "idl/qad_generic_dtm.h"
#include "idl/varnholt_ravik_dtm.h"
#include "platform/com/activation.h"
#include "platform/com/bstr.h"
#include "simulator/positioner_behaviour.h"

namespace positioner_test {

using namespace std::chrono_literals;

inline std::filesystem::path binaryRoot() {
    return HARTDTM_BINARY_ROOT;
}
inline std::filesystem::path sourceRoot() {
    return HARTDTM_SOURCE_ROOT;
}
inline std::filesystem::path engineModule() {
    return binaryRoot() / "packages/QadGenericDTM/QadGenericDTM.so";
}
inline std::filesystem::path positionerPackage() {
    return binaryRoot() / "packages/VarnholtRavikHARTDTM";
}
inline std::filesystem::path positionerModule() {
    return positionerPackage() / "VarnholtRavikHARTDTM.so";
}

inline VARIANT id(std::int32_t value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

inline com::Bstr text(std::string_view utf8) {
    return com::Bstr::fromUtf8(utf8);
}

inline std::string userInformation(const std::string& level) {
    return "<FDT xmlns=\"x-schema:FDTUserInformationSchema.xml\" "
           "xmlns:fdt=\"x-schema:FDTDataTypesSchema.xml\">"
           "<FDTUserInformation userLevel=\"" +
           level + "\"/></FDT>";
}

// Registers the engine and the positioner DTM in the process's registry
// (HARTDTM_REGISTRY; a registry of the build's test folder when unset).
void registerDeliverables();

// The simulated positioner behind the frame's line; records each command.
class RecordingLine final : public frame::SynchronousBackend {
public:
    explicit RecordingLine(std::unique_ptr<frame::HartBackend> line);

    std::string name() const override { return line_->name(); }
    frame::LineTraits traits() const override { return line_->traits(); }
    bool answersAt(std::uint8_t shortAddress) override { return simulator().answersAt(shortAddress); }
    frame::LineAnswer transact(std::uint8_t command,
                               std::span<const std::uint8_t> request) override;

    frame::SimulatorBackend& simulator() { return static_cast<frame::SimulatorBackend&>(*line_); }
    const std::vector<int>& commands() const { return commands_; }

private:
    std::unique_ptr<frame::HartBackend> line_;
    std::vector<int> commands_;
};

class PositionerSession : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // --- the DTM's life ---
    // Environment, InitNew, Config (maintenance) and SetCommunication, then the
    // frame's upload of the whole device, which locks the data set and
    // connects: the DTM is online.
    void bringOnline();
    VARIANT_BOOL environment();
    // Drops the connection and releases the communication interface, as a
    // frame does when the line goes away; reconnect() hands it over again.
    void goOffline();
    void reconnect();
    // Releases the communication (when set) and prepares the DTM for release;
    // TearDown does it for every test that did not.
    void release();

    // --- the private interface ---
    std::string value(std::int32_t parameter);
    void setValue(std::int32_t parameter, std::string_view text);
    bool valid(std::int32_t parameter);
    bool visible(std::int32_t parameter);
    std::string translated(std::string_view key);
    // DoAction as a panel hands it over, then lets the work run to its end.
    void run(std::string_view script);
    // DoAction only: what it queued has not been sent yet.
    void act(std::string_view script);
    // A panel's button: setvalue[button=procedure].
    void press(std::int32_t button, std::int32_t procedure);
    // Lets the DTM's and the line's deferred work run until nothing is due.
    void settle();

    // --- the device and the frame ---
    simulator::PositionerBehaviour& device();
    // The device in setup mode (mode 0), through the mode-change command.
    void enterSetupMode();
    const std::vector<int>& commands() const { return line_->commands(); }
    std::vector<int> commandsFrom(std::size_t mark) const;
    frame::EventLog& events() { return host_->events(); }
    // The texts of the user messages shown from event index `from` on.
    std::vector<std::string> messagesFrom(std::size_t from = 0) const;
    void answer(std::initializer_list<const char*> buttons);

    std::unique_ptr<frame::SessionLoop> session_;
    std::unique_ptr<RecordingLine> line_;
    com::ComPtr<IFdtContainer> container_;
    frame::FrameHost* host_ = nullptr;
    com::ComPtr<IFdtCommunication> communication_;
    frame::FrameCommunication* communicationImpl_ = nullptr;
    com::ComPtr<IDtm> dtm_;
    com::ComPtr<IQadGenericDTMObject> priv_;
    bool communicationSet_ = false;
    bool released_ = false;
};

// The parameter id of a procedure's button enable flag: P + 1 .. P + 4.
inline std::int32_t startOf(std::int32_t procedure) {
    return procedure + 1;
}
inline std::int32_t continueOf(std::int32_t procedure) {
    return procedure + 2;
}
inline std::int32_t cancelOf(std::int32_t procedure) {
    return procedure + 3;
}
inline std::int32_t skipOf(std::int32_t procedure) {
    return procedure + 4;
}

}  // namespace positioner_test
