#pragma once
// A HART-IP version 1 client over TCP or UDP: a session is initiated as
// primary master with an inactivity timer, kept alive before that timer
// runs out, and closed on close(). Each request frame travels without
// preambles in a token-passing PDU; a reply counts only when its sequence
// number is the request's. A session the server closes is reported lost.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "frame/lines/descriptor_watch.h"
#include "frame/lines/link_transport.h"
#include "hart/hartip.h"
#include "platform/loop/timer_host.h"

namespace frame {

struct HartIpOptions {
    std::string host = "127.0.0.1";
    std::uint16_t port = hart::ip::kDefaultPort;
    bool udp = false;
    bool secondaryMaster = false;
    std::chrono::milliseconds inactivity{60000};    // asked of the server
    std::chrono::milliseconds replyTimeout{2000};   // per request
};

class HartIpTransport final : public LinkTransport {
public:
    HartIpTransport(HartIpOptions options, DescriptorWatch& watch);
    ~HartIpTransport() override;

    std::string name() const override;
    bool isOpen() const override { return sessionOpen_; }
    void open(OpenDone done) override;
    bool send(const hart::Frame& request, unsigned preambles, std::string& error) override;
    std::chrono::milliseconds replyTimeout(std::size_t) const override { return options_.replyTimeout; }
    void close() override;

private:
    void onReady(short ready);
    void onConnected();
    void onMessage(const hart::ip::Message& message);
    bool sendMessage(hart::ip::MessageId id, std::vector<std::uint8_t> body);
    void flushOutput();
    void armKeepAlive();
    void openFailed(std::string reason);
    void drop(std::string reason);
    void closeSocket();

    HartIpOptions options_;
    DescriptorWatch& watch_;
    hartdtm::loop::TimerHost timer_;
    int fd_ = -1;
    bool connecting_ = false;
    bool sessionOpen_ = false;
    OpenDone openDone_;
    std::uint16_t sequence_ = 0;
    std::uint16_t awaited_ = 0;  // sequence number of the request in flight
    std::chrono::milliseconds granted_{0};
    std::vector<std::uint8_t> input_;
    std::vector<std::uint8_t> output_;
};

}  // namespace frame
