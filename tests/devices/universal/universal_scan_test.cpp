// dtmframe's scan of a line with the positioner and the universal package's
// HART 7 pressure transmitter (hartsim on a pseudo-terminal): the positioner's
// DTM comes first for the positioner, the universal DTM serves the other.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/frame/frame_test_support.h"
#include "tests/frame/hartsim_process.h"

namespace {

TEST(UniversalScan, PositionersDtmFirstForThePositionerUniversalDtmForTheOther) {
    frametest::registerDeliverables();
    ASSERT_TRUE(frame::registerDeliverable(std::filesystem::path(HARTDTM_BINARY_ROOT) /
                                           "packages/UniversalHARTDTM/UniversalHARTDTM.so"));
    if (!frametest::positionerBuilt()) GTEST_SKIP() << "the positioner DTM is not built";
    frametest::HartsimProcess pty(
        {"--pty", "positioner@0", std::string(HARTDTM_SOURCE_ROOT) + "/devices/universal@1"});
    ASSERT_TRUE(pty.running());
    const std::filesystem::path out =
        std::filesystem::temp_directory_path() / ("universal-scan-" + std::to_string(getpid()));
    const std::string command = std::string(HARTDTM_DTMFRAME) + " --registry '" +
                                std::getenv("HARTDTM_REGISTRY") +
                                "' --device serial:" + pty.address() + " -e 'scan 0-2' >'" +
                                out.string() + "' 2>&1 </dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::ifstream in(out);
    std::stringstream text;
    text << in.rdbuf();
    std::filesystem::remove(out);
    const std::string scan = text.str();
    const auto line = [&](const std::string& start) {
        const std::size_t at = scan.find(start);
        return at == std::string::npos ? std::string() : scan.substr(at, scan.find('\n', at) - at);
    };
    const std::string positioner = line("address 0: manufacturer 171 device type 33");
    EXPECT_TRUE(
        positioner.ends_with(" DTMs VarnholtRavikHARTDTM.BasicDTM.1 UniversalHARTDTM.PackageDTM.1"))
        << "the device-specific DTM first, the generic one after it:\n"
        << scan;
    const std::string pressure = line("address 1: manufacturer 24819 device type 57722");
    EXPECT_NE(pressure.find("revisions universal 7"), std::string::npos) << scan;
    EXPECT_TRUE(pressure.ends_with(" DTMs UniversalHARTDTM.PackageDTM.1")) << scan;
}

}  // namespace
