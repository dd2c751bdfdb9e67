#pragma once
// Runs frame script lines against a frame session: each command is echoed
// ("> " and the command as written), its events are printed as they happen
// (one "event ..." line each) and its result follows. A failed command prints
// "failed: REASON" and a message naming its line on the error stream.

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "frame/frame_session.h"
#include "frame/script.h"

namespace frame {

class ScriptRunner {
public:
    // `source` names the script in messages ("demo.dtmframe", "-e", "stdin").
    ScriptRunner(Frame& frame, std::ostream& out, std::ostream& err, std::string source);
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // Runs one line; false when the command failed.
    bool runLine(const ScriptLine& line);
    // Runs the lines in order; stops at the first failure unless keepGoing.
    // True when every command that ran succeeded.
    bool run(const std::vector<ScriptLine>& lines, bool keepGoing);

    // Ends the session: a DTM the frame still holds is released as a frame
    // closing its project releases it (Frame::close), under the line "frame
    // ends: releasing the DTM it holds" and with its events and result. False
    // when the DTM refused a step (it is dropped all the same).
    bool finish();

    // Commands run elsewhere (the view commands): asked first for every line;
    // nullopt leaves the line to the frame session.
    using Extension = std::function<std::optional<CommandResult>(const ScriptLine&)>;
    void setExtension(Extension extension) { extension_ = std::move(extension); }

    // Names the source in messages from now on.
    void setSource(std::string source) { source_ = std::move(source); }
    // Reports a line that cannot be read, in the same form as a failure.
    void reportUnreadable(int line, const std::string& error);

private:
    CommandResult execute(const ScriptLine& line);

    Frame& frame_;
    std::ostream& out_;
    std::ostream& err_;
    std::string source_;
    Extension extension_;
};

}  // namespace frame
