#include "frame/lines/hartip_transport.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "hart/frame.h"

namespace frame {
namespace {

constexpr hartdtm::loop::TimerId kOpenTimer = 2;
constexpr std::chrono::milliseconds kOpenTimeout{5000};

}  // namespace

HartIpTransport::HartIpTransport(HartIpOptions options, DescriptorWatch& watch)
    : options_(std::move(options)), watch_(watch) {}

HartIpTransport::~HartIpTransport() {
    timer_.cancelAll();
    closeSocket();
}

std::string HartIpTransport::name() const {
    return "hartip:" + options_.host + ":" + std::to_string(options_.port) + (options_.udp ? " (UDP)" : "");
}

void HartIpTransport::open(OpenDone done) {
    close();
    openDone_ = std::move(done);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = options_.udp ? SOCK_DGRAM : SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string port = std::to_string(options_.port);
    if (const int rc = ::getaddrinfo(options_.host.c_str(), port.c_str(), &hints, &found); rc != 0) {
        openFailed("cannot resolve " + options_.host + ": " + ::gai_strerror(rc));
        return;
    }
    fd_ = ::socket(found->ai_family, found->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    int rc = fd_ < 0 ? -1 : ::connect(fd_, found->ai_addr, found->ai_addrlen);
    const int error = errno;
    ::freeaddrinfo(found);
    if (fd_ < 0 || (rc != 0 && error != EINPROGRESS)) {
        openFailed("cannot connect to " + name() + ": " + std::strerror(error));
        return;
    }
    if (!options_.udp) {
        const int on = 1;
        ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    }
    connecting_ = rc != 0;
    watch_.watch(fd_, connecting_ ? POLLOUT : POLLIN, [this](short ready) { onReady(ready); });
    timer_.rearm(kOpenTimer, kOpenTimeout, [this] { openFailed("no session with " + name() + " within 5 s"); });
    if (!connecting_) onConnected();
}

void HartIpTransport::onConnected() {
    connecting_ = false;
    watch_.setEvents(fd_, POLLIN);
    const std::uint8_t master = options_.secondaryMaster ? hart::ip::kSecondaryMaster : hart::ip::kPrimaryMaster;
    sendMessage(hart::ip::MessageId::SessionInitiate,
                hart::ip::sessionInitiateBody(master, static_cast<std::uint32_t>(options_.inactivity.count())));
}

void HartIpTransport::openFailed(std::string reason) {
    timer_.kill(kOpenTimer);
    closeSocket();
    if (OpenDone done = std::exchange(openDone_, {})) done(reason);
}

void HartIpTransport::drop(std::string reason) {
    const bool wasOpen = sessionOpen_;
    if (openDone_) {
        openFailed(std::move(reason));
        return;
    }
    closeSocket();
    timer_.cancelAll();
    if (wasOpen && handlers_.lost) handlers_.lost(reason);
}

void HartIpTransport::closeSocket() {
    watch_.cancelHousekeeping(this);
    sessionOpen_ = false;
    connecting_ = false;
    input_.clear();
    output_.clear();
    if (fd_ < 0) return;
    watch_.remove(fd_);
    ::close(fd_);
    fd_ = -1;
}

void HartIpTransport::close() {
    timer_.cancelAll();
    openDone_ = {};
    if (sessionOpen_) {
        sendMessage(hart::ip::MessageId::SessionClose, {});
    }
    closeSocket();
}

bool HartIpTransport::sendMessage(hart::ip::MessageId id, std::vector<std::uint8_t> body) {
    hart::ip::Message message;
    message.id = id;
    message.sequence = ++sequence_;
    message.body = std::move(body);
    if (id != hart::ip::MessageId::KeepAlive) awaited_ = message.sequence;
    const std::vector<std::uint8_t> bytes = hart::ip::encodeMessage(message);
    if (options_.udp) {
        if (::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) < 0) return false;
    } else {
        output_.insert(output_.end(), bytes.begin(), bytes.end());
        flushOutput();
    }
    if (sessionOpen_) armKeepAlive();
    return fd_ >= 0;
}

void HartIpTransport::flushOutput() {
    while (fd_ >= 0 && !output_.empty()) {
        const ssize_t written = ::send(fd_, output_.data(), output_.size(), MSG_NOSIGNAL);
        if (written > 0) {
            output_.erase(output_.begin(), output_.begin() + written);
            continue;
        }
        if (written < 0 && (errno == EAGAIN || errno == EINTR)) break;
        drop("HART-IP connection to " + name() + " failed: " + std::strerror(errno));
        return;
    }
    if (fd_ >= 0 && !connecting_)
        watch_.setEvents(fd_, output_.empty() ? POLLIN : static_cast<short>(POLLIN | POLLOUT));
}

// A keep-alive goes out at half the granted inactivity time after the last message.
void HartIpTransport::armKeepAlive() {
    if (granted_.count() <= 0) return;
    watch_.setHousekeeping(this, granted_ / 2, [this] {
        if (sessionOpen_) sendMessage(hart::ip::MessageId::KeepAlive, {});
    });
}

bool HartIpTransport::send(const hart::Frame& request, unsigned, std::string& error) {
    if (!sessionOpen_) {
        error = "no HART-IP session with " + name();
        return false;
    }
    const std::optional<std::vector<std::uint8_t>> frame = hart::encodeFrame(request);
    if (!frame) {
        error = "request data too long for one frame";
        return false;
    }
    counters_.bytesSent += frame->size();
    ++counters_.frames;
    if (!sendMessage(hart::ip::MessageId::TokenPassingPdu, *frame)) {
        error = "HART-IP session with " + name() + " is closed";
        return false;
    }
    return true;
}

void HartIpTransport::onReady(short ready) {
    if (connecting_) {
        int error = 0;
        socklen_t size = sizeof error;
        ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &size);
        if (error != 0) {
            openFailed("cannot connect to " + name() + ": " + std::strerror(error));
            return;
        }
        onConnected();
        return;
    }
    if (ready & POLLOUT) flushOutput();
    if (fd_ < 0 || !(ready & (POLLIN | POLLHUP | POLLERR))) return;
    std::uint8_t buffer[2048];
    const ssize_t got = ::recv(fd_, buffer, sizeof buffer, 0);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) return;
    if (got <= 0) {
        drop(got == 0 ? "the HART-IP server " + name() + " closed the session"
                      : "HART-IP connection to " + name() + " failed: " + std::strerror(errno));
        return;
    }
    if (options_.udp) input_.clear();
    input_.insert(input_.end(), buffer, buffer + got);
    while (fd_ >= 0 && !input_.empty()) {
        const hart::ip::MessageRead read = hart::ip::decodeMessage(input_);
        if (read.needMore && !options_.udp) return;
        if (!read) {
            drop("HART-IP server " + name() + " sent a bad message: " + read.reason);
            return;
        }
        input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(read.length));
        onMessage(*read.message);
        if (options_.udp) input_.clear();
    }
}

void HartIpTransport::onMessage(const hart::ip::Message& message) {
    using hart::ip::MessageId;
    if (message.type == hart::ip::MessageType::Publish) return;
    if (message.id == MessageId::SessionClose && message.type == hart::ip::MessageType::Request) {
        drop("the HART-IP server " + name() + " closed the session");
        return;
    }
    // Answers to requests given up on, and to keep-alives, end here.
    if (message.sequence != awaited_ || message.id == MessageId::KeepAlive) return;
    const bool failed = message.type != hart::ip::MessageType::Response ||
                        (message.status != hart::ip::kSuccess && message.status != hart::ip::kSetToNearest);
    const std::string status =
        "HART-IP status " + std::to_string(message.status) + ": " + hart::ip::statusReason(message.id, message.status);
    switch (message.id) {
        case MessageId::SessionInitiate: {
            if (!openDone_) return;
            if (failed) {
                openFailed("HART-IP session with " + name() + " refused: " + status);
                return;
            }
            const auto parameters = hart::ip::readSessionInitiate(message.body);
            granted_ = parameters ? std::chrono::milliseconds(parameters->inactivityMs) : options_.inactivity;
            timer_.kill(kOpenTimer);
            sessionOpen_ = true;
            armKeepAlive();
            if (OpenDone done = std::exchange(openDone_, {})) done({});
            return;
        }
        case MessageId::SessionClose:
            drop("the HART-IP server " + name() + " closed the session");
            return;
        case MessageId::KeepAlive:
            return;
        case MessageId::TokenPassingPdu:
            break;
    }
    if (failed) {
        if (handlers_.garbled) handlers_.garbled(status);
        return;
    }
    const hart::FrameRead frame = hart::decodeFrame(message.body);
    if (!frame) {
        if (handlers_.garbled) handlers_.garbled(frame.reason);
        return;
    }
    counters_.bytesReceived += frame.length;
    ++counters_.frames;
    if (frame.frame->type == hart::FrameType::Reply && handlers_.reply) handlers_.reply(*frame.frame);
}

}  // namespace frame
