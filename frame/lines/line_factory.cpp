#include "frame/lines/line_factory.h"

#include <charconv>
#include <vector>

#include "frame/lines/hartip_transport.h"
#include "frame/lines/master_line.h"
#include "frame/lines/serial_transport.h"

namespace frame {
namespace {

std::vector<std::string_view> splitOptions(std::string_view text) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t comma = text.find(',');
        parts.push_back(text.substr(0, comma));
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return parts;
}

std::optional<long> numberAfter(std::string_view option, std::string_view name) {
    if (!option.starts_with(name)) return std::nullopt;
    option.remove_prefix(name.size());
    long value = 0;
    const auto [end, ec] = std::from_chars(option.data(), option.data() + option.size(), value);
    if (ec != std::errc() || end != option.data() + option.size() || option.empty() || value < 0)
        return std::nullopt;
    return value;
}

// Reads the options both line kinds share; false for one it does not know.
bool commonOption(std::string_view option, MasterOptions& master, std::string& error) {
    if (option == "secondary") {
        master.primaryMaster = false;
        return true;
    }
    if (const auto retries = numberAfter(option, "retries=")) {
        if (*retries > 10) {
            error = "retries must be 0 to 10";
            return true;
        }
        master.tries = static_cast<unsigned>(*retries) + 1;
        return true;
    }
    return false;
}

BackendOpen refuse(std::string_view spec, std::string reason) {
    BackendOpen open;
    open.error = "device '" + std::string(spec) + "': " + reason;
    return open;
}

BackendOpen openSerial(std::string_view spec, std::string_view rest, DescriptorWatch& watch) {
    const std::vector<std::string_view> parts = splitOptions(rest);
    SerialOptions serial;
    serial.path = std::string(parts.front());
    if (serial.path.empty()) return refuse(spec, "give the port: serial:/dev/ttyUSB0");
    MasterOptions master;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::string_view option = parts[i];
        std::string error;
        if (option == "rts") {
            serial.rtsKeying = true;
        } else if (option == "echo") {
            serial.echoSuppression = true;
        } else if (const auto preambles = numberAfter(option, "preambles=")) {
            if (*preambles < 5 || *preambles > 20) return refuse(spec, "preambles must be 5 to 20");
            master.preambles = static_cast<unsigned>(*preambles);
        } else if (!commonOption(option, master, error)) {
            return refuse(spec, "unknown serial option '" + std::string(option) + "'");
        }
        if (!error.empty()) return refuse(spec, error);
    }
    serial.secondaryMaster = !master.primaryMaster;
    auto transport = std::make_unique<SerialTransport>(serial, watch);
    if (std::string error = transport->openPort(); !error.empty()) return refuse(spec, error);
    BackendOpen open;
    open.backend = std::make_unique<MasterLine>(std::string(spec), std::move(transport), master);
    return open;
}

BackendOpen openHartIp(std::string_view spec, std::string_view rest, DescriptorWatch& watch) {
    const std::vector<std::string_view> parts = splitOptions(rest);
    HartIpOptions ip;
    std::string_view host = parts.front();
    if (const std::size_t colon = host.rfind(':'); colon != std::string_view::npos && host.find(']') == std::string_view::npos) {
        const auto port = numberAfter(host.substr(colon), ":");
        if (!port || *port == 0 || *port > 65535) return refuse(spec, "the port must be 1 to 65535");
        ip.port = static_cast<std::uint16_t>(*port);
        host = host.substr(0, colon);
    }
    if (host.empty()) return refuse(spec, "give the host: hartip:127.0.0.1");
    ip.host = std::string(host);
    MasterOptions master;
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::string_view option = parts[i];
        std::string error;
        if (option == "udp") {
            ip.udp = true;
        } else if (option == "tcp") {
            ip.udp = false;
        } else if (const auto timeout = numberAfter(option, "timeout=")) {
            if (*timeout < 10) return refuse(spec, "timeout must be at least 10 ms");
            ip.replyTimeout = std::chrono::milliseconds(*timeout);
        } else if (const auto inactivity = numberAfter(option, "inactivity=")) {
            if (*inactivity < 100) return refuse(spec, "inactivity must be at least 100 ms");
            ip.inactivity = std::chrono::milliseconds(*inactivity);
        } else if (!commonOption(option, master, error)) {
            return refuse(spec, "unknown HART-IP option '" + std::string(option) + "'");
        }
        if (!error.empty()) return refuse(spec, error);
    }
    ip.secondaryMaster = !master.primaryMaster;
    BackendOpen open;
    open.backend = std::make_unique<MasterLine>(std::string(spec),
                                                std::make_unique<HartIpTransport>(ip, watch), master);
    return open;
}

}  // namespace

std::string lineKindsUsage() {
    return "  sim:positioner | sim:level | sim:FOLDER     the simulator in process\n"
           "  serial:PATH[,rts][,echo][,preambles=N][,secondary][,retries=N]\n"
           "                                              a HART modem (1200 bit/s, 8O1)\n"
           "  hartip:HOST[:PORT][,udp][,timeout=MS][,inactivity=MS][,secondary][,retries=N]\n"
           "                                              a HART-IP device or gateway (port 5094)\n";
}

BackendOpen openLine(std::string_view spec, const std::filesystem::path& devicesRoot,
                     simulator::Clock clock, DescriptorWatch* watch) {
    constexpr std::string_view kSerial = "serial:";
    constexpr std::string_view kHartIp = "hartip:";
    const bool serial = spec.starts_with(kSerial);
    const bool hartIp = spec.starts_with(kHartIp);
    if (!serial && !hartIp) {
        BackendOpen open = openBackend(spec, devicesRoot, std::move(clock));
        if (!open && !spec.starts_with("sim:"))
            open.error = "unknown device '" + std::string(spec) +
                         "': expected sim:NAME, serial:PATH or hartip:HOST[:PORT]";
        return open;
    }
    if (!watch) return refuse(spec, "real lines need real time (leave out --virtual-time)");
    if (serial) return openSerial(spec, spec.substr(kSerial.size()), *watch);
    return openHartIp(spec, spec.substr(kHartIp.size()), *watch);
}

}  // namespace frame
