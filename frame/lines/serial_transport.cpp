#include "frame/lines/serial_transport.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "hart/timing.h"

namespace frame {
namespace {

constexpr hartdtm::loop::TimerId kRtsTimer = 1;

std::string systemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

}  // namespace

SerialTransport::SerialTransport(SerialOptions options, DescriptorWatch& watch)
    : options_(std::move(options)), watch_(watch), reader_(hart::FrameType::Reply) {}

SerialTransport::~SerialTransport() {
    timer_.cancelAll();
    closePort();
}

std::string SerialTransport::openPort() {
    if (fd_ >= 0) return {};
    const int fd = ::open(options_.path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return systemError("cannot open serial port", options_.path);
    if (!::isatty(fd)) {
        ::close(fd);
        return "cannot use " + options_.path + " as a serial port: it is not a terminal";
    }
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        const std::string error = systemError("cannot read the settings of serial port", options_.path);
        ::close(fd);
        return error;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | CRTSCTS);
    tio.c_cflag |= CS8 | PARENB | PARODD | CLOCAL | CREAD;
    tio.c_iflag |= INPCK;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::cfsetispeed(&tio, B1200) != 0 || ::cfsetospeed(&tio, B1200) != 0 ||
        ::tcsetattr(fd, TCSANOW, &tio) != 0) {
        const std::string error =
            systemError("cannot configure serial port", options_.path + " (1200 8O1)");
        ::close(fd);
        return error;
    }
    ::tcflush(fd, TCIOFLUSH);
    fd_ = fd;
    if (options_.rtsKeying) setRts(false);
    watch_.watch(fd_, POLLIN, [this](short ready) { onReady(ready); });
    return {};
}

void SerialTransport::closePort() {
    if (fd_ < 0) return;
    watch_.remove(fd_);
    ::close(fd_);
    fd_ = -1;
}

void SerialTransport::open(OpenDone done) {
    done(openPort());
}

void SerialTransport::setRts(bool on) {
    int bits = TIOCM_RTS;
    ::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits);
}

bool SerialTransport::send(const hart::Frame& request, unsigned preambles, std::string& error) {
    if (fd_ < 0) {
        error = "serial port " + options_.path + " is not open";
        return false;
    }
    const std::optional<std::vector<std::uint8_t>> bytes = hart::encodeWithPreambles(request, preambles);
    if (!bytes) {
        error = "request data too long for one frame";
        return false;
    }
    // What came before this request is no answer to it.
    reader_.reset();
    echo_.clear();
    if (options_.rtsKeying) setRts(true);
    if (options_.echoSuppression) echo_ = *bytes;
    output_.insert(output_.end(), bytes->begin(), bytes->end());
    counters_.bytesSent += bytes->size();
    ++counters_.frames;
    flushOutput();
    if (fd_ < 0) {
        error = "serial port " + options_.path + " failed while writing";
        return false;
    }
    if (options_.rtsKeying) releaseRtsWhenSent();
    return true;
}

void SerialTransport::flushOutput() {
    while (!output_.empty()) {
        const ssize_t written = ::write(fd_, output_.data(), output_.size());
        if (written > 0) {
            output_.erase(output_.begin(), output_.begin() + written);
            continue;
        }
        if (written < 0 && (errno == EAGAIN || errno == EINTR)) break;
        output_.clear();
        const std::string reason = systemError("write to serial port", options_.path + " failed");
        closePort();
        if (handlers_.lost) handlers_.lost(reason);
        return;
    }
    watch_.setEvents(fd_, output_.empty() ? POLLIN : static_cast<short>(POLLIN | POLLOUT));
}

// RTS drops once the last character has left the transmitter.
void SerialTransport::releaseRtsWhenSent() {
    timer_.rearm(kRtsTimer, hart::characterTimes(1), [this] {
        int queued = 0;
        if (fd_ >= 0 && output_.empty() && ::ioctl(fd_, TIOCOUTQ, &queued) == 0 && queued == 0) {
            setRts(false);
            return;
        }
        if (fd_ >= 0) releaseRtsWhenSent();
    });
}

void SerialTransport::onReady(short ready) {
    if (ready & POLLOUT) flushOutput();
    if (fd_ < 0 || !(ready & (POLLIN | POLLHUP | POLLERR))) return;
    std::uint8_t buffer[512];
    const ssize_t got = ::read(fd_, buffer, sizeof buffer);
    if (got <= 0) {
        if (got < 0 && (errno == EAGAIN || errno == EINTR)) return;
        const std::string reason = got == 0 || errno == EIO
                                       ? "serial port " + options_.path + " was hung up"
                                       : systemError("read from serial port", options_.path + " failed");
        closePort();
        if (handlers_.lost) handlers_.lost(reason);
        return;
    }
    counters_.bytesReceived += static_cast<std::uint64_t>(got);
    std::span<const std::uint8_t> bytes(buffer, static_cast<std::size_t>(got));
    // The modem's echo of our own request comes first.
    while (!echo_.empty() && !bytes.empty() && bytes.front() == echo_.front()) {
        echo_.erase(echo_.begin());
        bytes = bytes.subspan(1);
    }
    if (!bytes.empty()) echo_.clear();
    if (handlers_.activity) handlers_.activity();
    for (hart::ReaderEvent& event : reader_.feed(bytes)) {
        if (event.kind == hart::ReaderEvent::Kind::Frame) {
            ++counters_.frames;
            if (handlers_.reply) handlers_.reply(std::move(event.frame));
        } else if (handlers_.garbled) {
            handlers_.garbled(event.reason);
        }
    }
}

std::chrono::milliseconds SerialTransport::replyTimeout(std::size_t sentBytes) const {
    const auto rt1 = options_.secondaryMaster ? hart::kSecondaryMasterRt1 : hart::kPrimaryMasterRt1;
    return std::chrono::duration_cast<std::chrono::milliseconds>(hart::wireTime(sentBytes)) + rt1;
}

}  // namespace frame
