#include "frame/script_runner.h"

#include <functional>
#include <map>

namespace frame {
namespace {

using Handler = std::function<CommandResult(Frame&, const ScriptLine&)>;

// The argument at index, or empty when the line has fewer.
std::string wordOr(const ScriptLine& line, std::size_t index) {
    return index < line.words.size() ? line.words[index] : std::string();
}

const std::map<std::string, Handler, std::less<>>& handlers() {
    static const std::map<std::string, Handler, std::less<>> table = {
        {"register", [](Frame& f, const ScriptLine& l) { return f.registerLibrary(l.rest); }},
        {"unregister", [](Frame& f, const ScriptLine& l) { return f.unregisterLibrary(l.rest); }},
        {"create", [](Frame& f, const ScriptLine& l) { return f.create(l.words.front()); }},
        {"bind", [](Frame& f, const ScriptLine& l) { return f.bind(l.words); }},
        {"environment", [](Frame& f, const ScriptLine& l) { return f.environment(wordOr(l, 0)); }},
        {"initnew", [](Frame& f, const ScriptLine&) { return f.initNew(); }},
        {"config", [](Frame& f, const ScriptLine& l) { return f.config(l.words.front()); }},
        {"language",
         [](Frame& f, const ScriptLine& l) { return f.language(*parseNumber(l.words.front())); }},
        {"setcommunication", [](Frame& f, const ScriptLine&) { return f.setCommunication(); }},
        {"releasecommunication",
         [](Frame& f, const ScriptLine&) { return f.releaseCommunication(); }},
        {"information", [](Frame& f, const ScriptLine&) { return f.information(); }},
        {"identification", [](Frame& f, const ScriptLine&) { return f.identification(); }},
        {"functions", [](Frame& f, const ScriptLine& l) { return f.functions(wordOr(l, 0)); }},
        {"activex",
         [](Frame& f, const ScriptLine& l) { return f.activeX(*parseNumber(l.words.front())); }},
        {"parameters", [](Frame& f, const ScriptLine&) { return f.parameters(); }},
        {"setparameters", [](Frame& f, const ScriptLine& l) { return f.setParameters(l.rest); }},
        {"upload", [](Frame& f, const ScriptLine&) { return f.upload(); }},
        {"download", [](Frame& f, const ScriptLine&) { return f.download(); }},
        {"get",
         [](Frame& f, const ScriptLine& l) { return f.get(*parseParameterId(l.words.front())); }},
        {"set",
         [](Frame& f, const ScriptLine& l) {
             return f.set(*parseParameterId(l.words.front()), l.rest);
         }},
        {"action", [](Frame& f, const ScriptLine& l) { return f.action(l.rest); }},
        {"answer", [](Frame& f, const ScriptLine& l) { return f.answer(l.words); }},
        {"wait",
         [](Frame& f, const ScriptLine& l) {
             return f.wait(Milliseconds{*parseNumber(l.words.front())});
         }},
        {"save", [](Frame& f, const ScriptLine& l) { return f.save(l.rest); }},
        {"load", [](Frame& f, const ScriptLine& l) { return f.load(l.rest); }},
        {"release", [](Frame& f, const ScriptLine&) { return f.release(); }},
        {"fault", [](Frame& f, const ScriptLine& l) { return f.fault(l.rest); }},
        {"scan",
         [](Frame& f, const ScriptLine& l) { return f.scan(l.words.empty() ? "" : l.words.front()); }},
    };
    return table;
}

}  // namespace

ScriptRunner::ScriptRunner(Frame& frame, std::ostream& out, std::ostream& err, std::string source)
    : frame_(frame), out_(out), err_(err), source_(std::move(source)) {
    frame_.events().setListener(
        [this](const FrameEvent& event) { out_ << formatEvent(event) << '\n'; });
}

ScriptRunner::~ScriptRunner() {
    frame_.events().setListener({});
}

CommandResult ScriptRunner::execute(const ScriptLine& line) {
    if (extension_) {
        if (std::optional<CommandResult> result = extension_(line)) return std::move(*result);
    }
    const auto& table = handlers();
    const auto handler = table.find(line.command);
    if (handler == table.end())
        return CommandResult::failure("unknown command '" + line.command + "'");
    return handler->second(frame_, line);
}

bool ScriptRunner::runLine(const ScriptLine& line) {
    out_ << "> " << line.text << '\n';
    const CommandResult result = execute(line);
    if (result.output) out_ << *result.output << '\n';
    if (!result.ok) {
        out_ << "failed: " << escapeLineBreaks(result.error) << '\n';
        err_ << "dtmframe: " << source_ << " line " << line.number << ": " << line.command
             << " failed: " << escapeLineBreaks(result.error) << '\n';
    }
    out_.flush();
    return result.ok;
}

bool ScriptRunner::run(const std::vector<ScriptLine>& lines, bool keepGoing) {
    bool allOk = true;
    for (const ScriptLine& line : lines) {
        if (runLine(line)) continue;
        allOk = false;
        if (!keepGoing) break;
    }
    return allOk;
}

bool ScriptRunner::finish() {
    if (!frame_.hasDtm()) return true;
    out_ << "frame ends: releasing the DTM it holds\n";
    const CommandResult result = frame_.close();
    if (result.output) out_ << *result.output << '\n';
    if (!result.ok)
        out_ << "failed: " << escapeLineBreaks(result.error) << "; the DTM was dropped all the same\n";
    out_.flush();
    return result.ok;
}

void ScriptRunner::reportUnreadable(int line, const std::string& error) {
    err_ << "dtmframe: " << source_ << " line " << line << ": " << error << '\n';
}

}  // namespace frame
