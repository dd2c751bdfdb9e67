#pragma once
// A HART modem on a serial port: 1200 bit/s, 8 data bits, odd parity, one
// stop bit, raw. Optionally keys RTS around each transmission (modems that
// switch their carrier on RTS) and drops the echo of its own request (modems
// that hear themselves). The port is watched from the apartment loop.

#include <string>
#include <vector>

#include "frame/lines/descriptor_watch.h"
#include "frame/lines/link_transport.h"
#include "hart/frame_reader.h"
#include "platform/loop/timer_host.h"

namespace frame {

struct SerialOptions {
    std::string path;
    bool rtsKeying = false;
    bool echoSuppression = false;
    bool secondaryMaster = false;
};

class SerialTransport final : public LinkTransport {
public:
    SerialTransport(SerialOptions options, DescriptorWatch& watch);
    ~SerialTransport() override;

    // Opens and configures the port; an empty text on success, else a reason naming the port.
    std::string openPort();

    std::string name() const override { return "serial:" + options_.path; }
    bool isOpen() const override { return fd_ >= 0; }
    void open(OpenDone done) override;
    bool send(const hart::Frame& request, unsigned preambles, std::string& error) override;
    std::chrono::milliseconds replyTimeout(std::size_t sentBytes) const override;
    void close() override {}

private:
    void onReady(short ready);
    void flushOutput();
    void releaseRtsWhenSent();
    void setRts(bool on);
    void closePort();

    SerialOptions options_;
    DescriptorWatch& watch_;
    hartdtm::loop::TimerHost timer_;
    hart::FrameReader reader_;
    int fd_ = -1;
    std::vector<std::uint8_t> output_;  // not yet written
    std::vector<std::uint8_t> echo_;    // our own bytes still expected back
};

}  // namespace frame
