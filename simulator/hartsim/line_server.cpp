#include "simulator/hartsim/line_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <thread>

#include "hart/timing.h"

namespace simulator {
namespace {

using SteadyClock = std::chrono::steady_clock;

std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now().time_since_epoch()).count();
}

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool makeRaw(int fd) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return false;
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | PARENB | PARODD | CLOCAL | CREAD;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, B1200);
    ::cfsetospeed(&tio, B1200);
    return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

void writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written > 0) {
            data += written;
            size -= static_cast<std::size_t>(written);
        } else if (written < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd out{fd, POLLOUT, 0};
            ::poll(&out, 1, 100);
        } else {
            return;
        }
    }
}

}  // namespace

// --- the byte stream ---

StreamServer::StreamServer(SlaveStation& station, bool wireTime)
    : station_(station), wireTime_(wireTime), reader_(::hart::FrameType::Request) {}

StreamServer::~StreamServer() {
    if (ptySlave_ >= 0) ::close(ptySlave_);
    if (fd_ >= 0) ::close(fd_);
}

std::string StreamServer::openPty() {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) return systemError("cannot create a pseudo-terminal");
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        const std::string error = systemError("cannot unlock the pseudo-terminal");
        ::close(master);
        return error;
    }
    const char* name = ::ptsname(master);
    if (!name) {
        const std::string error = systemError("cannot name the pseudo-terminal");
        ::close(master);
        return error;
    }
    path_ = name;
    ptySlave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (ptySlave_ < 0 || !makeRaw(ptySlave_)) {
        const std::string error = systemError("cannot open " + path_);
        ::close(master);
        return error;
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    fd_ = master;
    return {};
}

std::string StreamServer::openSerial(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return systemError("cannot open serial port " + path);
    if (!::isatty(fd) || !makeRaw(fd)) {
        ::close(fd);
        return "cannot configure " + path + " as a serial port (1200 8O1)";
    }
    path_ = path;
    fd_ = fd;
    return {};
}

void StreamServer::collect(std::vector<pollfd>& fds) {
    if (fd_ >= 0) fds.push_back({fd_, POLLIN, 0});
}

void StreamServer::serve(const std::vector<pollfd>& fds) {
    for (const pollfd& entry : fds) {
        if (entry.fd != fd_ || !(entry.revents & (POLLIN | POLLHUP | POLLERR))) continue;
        std::uint8_t buffer[512];
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got <= 0) return;  // EIO: nobody has the terminal open right now
        // A request's wire time counts from the read that began it.
        if (!reader_.insideFrame()) firstByte_ = SteadyClock::now();
        std::vector<::hart::ReaderEvent> events =
            reader_.feed(std::span<const std::uint8_t>(buffer, static_cast<std::size_t>(got)));
        for (::hart::ReaderEvent& event : events) {
            if (event.kind != ::hart::ReaderEvent::Kind::Frame) continue;
            const StationReply reply = station_.handle(event.frame);
            if (!reply.answered) continue;
            std::vector<std::uint8_t> bytes(reply.preambles, ::hart::kPreamble);
            bytes.insert(bytes.end(), reply.frame.begin(), reply.frame.end());
            // On the wire the reply starts once the request has been heard.
            const auto requestBytes = event.preambles + ::hart::frameLength(event.frame.address.isLong,
                                                                         event.frame.expansion.size(),
                                                                         event.frame.data.size());
            write(bytes, firstByte_ + ::hart::wireTime(requestBytes));
        }
    }
}

void StreamServer::write(const std::vector<std::uint8_t>& bytes, SteadyClock::time_point start) {
    if (!wireTime_) {
        writeAll(fd_, bytes.data(), bytes.size());
        return;
    }
    std::this_thread::sleep_until(start);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        writeAll(fd_, &bytes[i], 1);
        std::this_thread::sleep_until(start + ::hart::wireTime(i + 1));
    }
}

// --- HART-IP ---

HartIpServer::HartIpServer(SlaveStation& station) : station_(station) {}

HartIpServer::~HartIpServer() {
    for (const auto& [fd, session] : tcp_) ::close(fd);
    if (listener_ >= 0) ::close(listener_);
    if (udp_ >= 0) ::close(udp_);
}

std::string HartIpServer::listen(const std::string& host, std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    if (::inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1)
        return "'" + host + "' is no IPv4 address";
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 4) != 0)
        return systemError("cannot listen on " + host + ":" + std::to_string(port));
    socklen_t size = sizeof address;
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    udp_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (::bind(udp_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return systemError("cannot bind UDP " + host + ":" + std::to_string(port_));
    return {};
}

void HartIpServer::collect(std::vector<pollfd>& fds) {
    fds.push_back({listener_, POLLIN, 0});
    fds.push_back({udp_, POLLIN, 0});
    for (const auto& [fd, session] : tcp_) fds.push_back({fd, POLLIN, 0});
}

void HartIpServer::serve(const std::vector<pollfd>& fds) {
    for (const pollfd& entry : fds) {
        if (entry.revents == 0) continue;
        if (entry.fd == listener_) {
            const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (client >= 0) tcp_[client] = Session{false, 0, nowMs(), {}};
        } else if (entry.fd == udp_) {
            serveUdp();
        } else if (tcp_.count(entry.fd)) {
            serveTcp(entry.fd);
        }
    }
}

void HartIpServer::tick(std::int64_t now) {
    std::vector<int> expired;
    for (const auto& [fd, session] : tcp_) {
        if (session.initiated && session.inactivityMs > 0 &&
            now - session.lastMessage > static_cast<std::int64_t>(session.inactivityMs))
            expired.push_back(fd);
    }
    for (const int fd : expired) closeTcp(fd);
}

void HartIpServer::closeTcp(int fd) {
    ::close(fd);
    tcp_.erase(fd);
}

void HartIpServer::serveTcp(int fd) {
    Session& session = tcp_[fd];
    std::uint8_t buffer[2048];
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got <= 0) {
        closeTcp(fd);
        return;
    }
    session.input.insert(session.input.end(), buffer, buffer + got);
    for (;;) {
        const ::hart::ip::MessageRead read = ::hart::ip::decodeMessage(session.input);
        if (read.needMore) return;
        if (!read) {
            closeTcp(fd);
            return;
        }
        session.input.erase(session.input.begin(),
                            session.input.begin() + static_cast<std::ptrdiff_t>(read.length));
        bool close = false;
        const std::vector<std::uint8_t> reply = answer(session, *read.message, close);
        if (!reply.empty()) writeAll(fd, reply.data(), reply.size());
        if (close) {
            closeTcp(fd);
            return;
        }
    }
}

void HartIpServer::serveUdp() {
    std::uint8_t buffer[2048];
    sockaddr_storage peer{};
    socklen_t size = sizeof peer;
    const ssize_t got = ::recvfrom(udp_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&peer), &size);
    if (got <= 0) return;
    const ::hart::ip::MessageRead read =
        ::hart::ip::decodeMessage(std::span<const std::uint8_t>(buffer, static_cast<std::size_t>(got)));
    if (!read) return;
    bool close = false;
    const std::vector<std::uint8_t> reply = answer(udpSession_, *read.message, close);
    if (!reply.empty())
        ::sendto(udp_, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&peer), size);
    if (close) udpSession_ = Session{};
}

std::vector<std::uint8_t> HartIpServer::answer(Session& session, const ::hart::ip::Message& message,
                                               bool& close) {
    using ::hart::ip::MessageId;
    session.lastMessage = nowMs();
    if (message.type != ::hart::ip::MessageType::Request) return {};
    ::hart::ip::Message response;
    response.type = ::hart::ip::MessageType::Response;
    response.id = message.id;
    response.sequence = message.sequence;
    switch (message.id) {
        case MessageId::SessionInitiate: {
            const auto parameters = ::hart::ip::readSessionInitiate(message.body);
            if (!parameters) {
                response.status = ::hart::ip::kTooFewDataBytes;
            } else if (parameters->masterType > ::hart::ip::kPrimaryMaster) {
                response.status = ::hart::ip::kInvalidSelection;
            } else {
                // The inactivity timer stays between 1 s and 10 min.
                const std::uint32_t granted = std::clamp<std::uint32_t>(parameters->inactivityMs, 1000, 600000);
                response.status = granted == parameters->inactivityMs ? ::hart::ip::kSuccess : ::hart::ip::kSetToNearest;
                response.body = ::hart::ip::sessionInitiateBody(parameters->masterType, granted);
                session.initiated = true;
                session.inactivityMs = granted;
            }
            break;
        }
        case MessageId::SessionClose:
            close = true;
            break;
        case MessageId::KeepAlive:
            break;
        case MessageId::TokenPassingPdu: {
            if (!session.initiated) {
                response.type = ::hart::ip::MessageType::Error;
                response.status = 16;
                break;
            }
            const ::hart::FrameRead frame = ::hart::decodeFrame(message.body);
            if (!frame || frame.frame->type != ::hart::FrameType::Request) {
                response.status = ::hart::ip::kTooFewDataBytes;
                break;
            }
            const StationReply reply = station_.handle(*frame.frame);
            if (reply.closeSession) {
                close = true;
                return {};
            }
            if (!reply.answered) return {};
            response.body = reply.frame;
            break;
        }
    }
    return ::hart::ip::encodeMessage(response);
}

}  // namespace simulator
