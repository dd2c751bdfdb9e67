#pragma once
// The media hartsim serves its station on: a byte stream (a pseudo-terminal
// it creates, or a serial port) and a HART-IP server (TCP and UDP on one
// address). Each server adds its descriptors to the program's poll set and
// handles what becomes ready; replies may be paced at the wire speed.

#include <poll.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "hart/frame_reader.h"
#include "hart/hartip.h"
#include "simulator/hartsim/slave_station.h"

namespace simulator {

class LineServer {
public:
    virtual ~LineServer() = default;
    // Descriptors to poll now.
    virtual void collect(std::vector<pollfd>& fds) = 0;
    // Handles the ready ones among `fds`.
    virtual void serve(const std::vector<pollfd>& fds) = 0;
    // Runs periodic work (HART-IP inactivity); `now` in steady milliseconds.
    virtual void tick(std::int64_t) {}
};

// A pseudo-terminal (`path` empty) or a serial port at 1200 bit/s, 8O1.
class StreamServer final : public LineServer {
public:
    StreamServer(SlaveStation& station, bool wireTime);
    ~StreamServer() override;
    // Creates the pseudo-terminal, or opens the port; "" or the reason.
    std::string openPty();
    std::string openSerial(const std::string& path);
    // The pseudo-terminal's slave path, or the port.
    const std::string& path() const { return path_; }

    void collect(std::vector<pollfd>& fds) override;
    void serve(const std::vector<pollfd>& fds) override;

private:
    void write(const std::vector<std::uint8_t>& bytes, std::chrono::steady_clock::time_point start);

    SlaveStation& station_;
    bool wireTime_;
    int fd_ = -1;
    int ptySlave_ = -1;  // held open so the master side never sees a hang-up
    std::string path_;
    ::hart::FrameReader reader_;
    std::chrono::steady_clock::time_point firstByte_{};
};

class HartIpServer final : public LineServer {
public:
    explicit HartIpServer(SlaveStation& station);
    ~HartIpServer() override;
    // Listens on HOST:PORT (TCP) and binds UDP there; PORT 0 takes a free one.
    std::string listen(const std::string& host, std::uint16_t port);
    std::uint16_t port() const { return port_; }

    void collect(std::vector<pollfd>& fds) override;
    void serve(const std::vector<pollfd>& fds) override;
    void tick(std::int64_t now) override;

private:
    struct Session {
        bool initiated = false;
        std::uint32_t inactivityMs = 0;
        std::int64_t lastMessage = 0;
        std::vector<std::uint8_t> input;
    };
    // The answer to one message; empty: none. `close` set when the session ends.
    std::vector<std::uint8_t> answer(Session& session, const ::hart::ip::Message& message, bool& close);
    void serveTcp(int fd);
    void serveUdp();
    void closeTcp(int fd);

    SlaveStation& station_;
    int listener_ = -1;
    int udp_ = -1;
    std::uint16_t port_ = 0;
    std::map<int, Session> tcp_;
    Session udpSession_;
};

}  // namespace simulator
