#pragma once
// The frame's view commands: opens a DTM's view the way a frame does
// (GetActiveXProgId, creation by ProgID, Init with a function-call document
// and the DTM) inside an offscreen window, drives it by label keys and
// parameter ids, and renders it to PNG. The view reaches the DTM through a
// tap that reports the engine calls it causes to the frame's event log.
//
// Qt lives behind this header: the process's QApplication is created at the
// first view (on the offscreen platform when no display is set).

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "frame/frame_session.h"
#include "frame/script.h"

namespace frame {

class ViewHost {
public:
    explicit ViewHost(Frame& frame);
    // Closes an open view first.
    ~ViewHost();
    ViewHost(const ViewHost&) = delete;
    ViewHost& operator=(const ViewHost&) = delete;

    // Runs a view command of a script line; nullopt for other commands.
    // "release" closes an open view and then leaves the command to the frame.
    std::optional<CommandResult> run(const ScriptLine& line);

    CommandResult open(long functionId);
    // KEY/KEY/...: the tree item reached by these label keys.
    CommandResult menu(const std::string& path);
    CommandResult press(const std::string& captionKey);
    CommandResult type(std::int32_t id, const std::string& text);
    CommandResult choose(std::int32_t id, const std::string& entry);
    CommandResult shot(const std::string& file);
    CommandResult close();
    bool viewOpen() const;

private:
    struct State;
    Frame& frame_;
    std::unique_ptr<State> state_;
};

}  // namespace frame
