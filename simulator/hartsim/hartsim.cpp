// hartsim: simulated HART field devices on a real line. Serves one or more
// device packages on a pseudo-terminal it creates, on a serial port, or as a
// HART-IP server, until it is interrupted or terminated.

#include <poll.h>
#include <signal.h>

#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "hart/hartip.h"
#include "simulator/hartsim/line_server.h"
#include "simulator/hartsim/slave_station.h"
#include "simulator/simulated_package.h"

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) {
    stopRequested = 1;
}

struct Options {
    enum class Medium { None, Pty, Serial, HartIp } medium = Medium::None;
    std::string serialPath;
    std::string host = "127.0.0.1";
    std::uint16_t port = hart::ip::kDefaultPort;
    bool wireTime = false;
    std::vector<std::string> devices;  // NAME[@ADDRESS]
    std::vector<simulator::LineFault> faults;
};

void printUsage(std::ostream& out) {
    out << "usage: hartsim (--pty | --serial PATH | --hartip HOST[:PORT]) [OPTIONS] [DEVICE[@ADDRESS]...]\n"
           "Puts simulated HART devices on a line until interrupted.\n"
           "  --pty               create a pseudo-terminal and print its path\n"
           "  --serial PATH       serve on a serial port (1200 bit/s, 8O1)\n"
           "  --hartip HOST[:PORT] HART-IP server on TCP and UDP (port 5094; 0: a free one, printed)\n"
           "  --wire-time         pace serial replies at 1200 bit/s, 11 bits a character\n"
           "  --fault KIND[:FROM[:COUNT]]  a line fault: silence, badcheck, commerror[=BYTE], close\n"
           "                      from request FROM (1), for COUNT requests (1; 0: all after)\n"
           "  --devices DIR       device packages folder\n"
           "DEVICE is positioner (the default), level or a package folder; ADDRESS its polling address.\n";
}

std::optional<unsigned long> number(std::string_view text) {
    unsigned long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

bool parse(int argc, char** argv, Options& options, std::filesystem::path& devicesRoot, bool& help) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= argc) {
                std::cerr << "hartsim: " << arg << " needs a value\n";
                return std::nullopt;
            }
            return std::string(argv[++i]);
        };
        if (arg == "-h" || arg == "--help") {
            help = true;
        } else if (arg == "--pty") {
            options.medium = Options::Medium::Pty;
        } else if (arg == "--serial") {
            const auto path = value();
            if (!path) return false;
            options.medium = Options::Medium::Serial;
            options.serialPath = *path;
        } else if (arg == "--hartip") {
            const auto address = value();
            if (!address) return false;
            options.medium = Options::Medium::HartIp;
            const std::size_t colon = address->rfind(':');
            options.host = address->substr(0, colon);
            if (colon != std::string::npos) {
                const auto port = number(address->substr(colon + 1));
                if (!port || *port > 65535) {
                    std::cerr << "hartsim: bad port in " << *address << '\n';
                    return false;
                }
                options.port = static_cast<std::uint16_t>(*port);
            }
        } else if (arg == "--wire-time") {
            options.wireTime = true;
        } else if (arg == "--fault") {
            const auto text = value();
            if (!text) return false;
            std::string error;
            const auto fault = simulator::parseLineFault(*text, error);
            if (!fault) {
                std::cerr << "hartsim: --fault " << *text << ": " << error << '\n';
                return false;
            }
            options.faults.push_back(*fault);
        } else if (arg == "--devices") {
            const auto dir = value();
            if (!dir) return false;
            devicesRoot = *dir;
        } else if (!arg.empty() && arg[0] == '-') {
            std::cerr << "hartsim: unknown option " << arg << '\n';
            return false;
        } else {
            options.devices.push_back(arg);
        }
    }
    if (!help && options.medium == Options::Medium::None) {
        std::cerr << "hartsim: give --pty, --serial PATH or --hartip HOST[:PORT]\n";
        return false;
    }
    if (options.devices.empty()) options.devices.push_back("positioner");
    return true;
}

bool addDevices(const Options& options, const std::filesystem::path& devicesRoot,
                simulator::SlaveStation& station) {
    for (const std::string& text : options.devices) {
        const std::size_t at = text.rfind('@');
        const std::string name = text.substr(0, at);
        std::optional<std::uint8_t> polling;
        if (at != std::string::npos) {
            const auto address = number(text.substr(at + 1));
            if (!address || *address > 63) {
                std::cerr << "hartsim: " << text << ": the polling address must be 0 to 63\n";
                return false;
            }
            polling = static_cast<std::uint8_t>(*address);
        }
        const std::filesystem::path folder =
            name.find('/') != std::string::npos ? std::filesystem::path(name) : devicesRoot / name;
        simulator::PackageLoad load = simulator::openPackage(folder);
        if (!load) {
            std::cerr << "hartsim: " << name << ": " << load.error << '\n';
            return false;
        }
        std::string error;
        if (!station.add(name, std::move(load.package), polling, error)) {
            std::cerr << "hartsim: " << error << '\n';
            return false;
        }
    }
    return true;
}

std::int64_t steadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::filesystem::path devicesRoot = HARTSIM_DEVICES_DIR;
    if (const char* configured = std::getenv("HARTDTM_DEVICES"); configured && *configured)
        devicesRoot = configured;
    bool help = false;
    if (!parse(argc, argv, options, devicesRoot, help)) {
        printUsage(std::cerr);
        return 2;
    }
    if (help) {
        printUsage(std::cout);
        return 0;
    }
    simulator::SlaveStation station;
    if (!addDevices(options, devicesRoot, station)) return 1;
    for (const simulator::LineFault& fault : options.faults) station.addFault(fault);

    std::unique_ptr<simulator::LineServer> server;
    std::string error;
    std::string where;
    if (options.medium == Options::Medium::HartIp) {
        auto ip = std::make_unique<simulator::HartIpServer>(station);
        error = ip->listen(options.host, options.port);
        where = options.host + ":" + std::to_string(ip->port());
        server = std::move(ip);
    } else {
        auto stream = std::make_unique<simulator::StreamServer>(station, options.wireTime);
        error = options.medium == Options::Medium::Pty ? stream->openPty() : stream->openSerial(options.serialPath);
        where = stream->path();
        server = std::move(stream);
    }
    if (!error.empty()) {
        std::cerr << "hartsim: " << error << '\n';
        return 1;
    }
    struct sigaction action{};
    action.sa_handler = requestStop;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::cerr << station.describe();
    // The line's address alone on standard output, for scripts and tests.
    std::cout << where << std::endl;

    while (!stopRequested) {
        std::vector<pollfd> fds;
        server->collect(fds);
        const int ready = ::poll(fds.data(), fds.size(), 200);
        if (ready > 0) server->serve(fds);
        server->tick(steadyMs());
    }
    return 0;
}
