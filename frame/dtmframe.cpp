// dtmframe: a frame host on the command line. Runs a frame script from a
// file, from -e lines or from standard input (interactively on a terminal),
// printing every command, its result and every frame event.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "frame/error_box_host.h"
#include "frame/frame_session.h"
#include "frame/lines/line_factory.h"
#include "frame/script.h"
#include "frame/script_runner.h"
#include "frame/user_dialog.h"
#include "frame/view_host.h"

// The engine's error boxes reach the host through this exported function.
extern "C" __attribute__((visibility("default"))) int HartDtmMessageBox(const char* text,
                                                                        const char* caption,
                                                                        unsigned flags) {
    return frame::showHostErrorBox(text, caption, flags);
}

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

struct CommandLine {
    std::string scriptFile;
    std::vector<std::string> lines;  // -e
    std::string registry;
    std::string answers;
    bool virtualTime = false;
    bool keepGoing = false;
    bool trace = false;
    frame::FrameOptions frame;
};

void printUsage(std::ostream& out) {
    out << "usage: dtmframe [OPTIONS] [SCRIPT]\n"
           "Runs a frame script (a file, -e lines, or standard input) against a DTM.\n"
           "  -e LINE            run LINE as a script line (may be repeated)\n"
           "  --device SPEC      the HART line, one of:\n"
        << frame::lineKindsUsage() <<
           "  --registry PATH    the component registry file (a directory: its file 'registry');\n"
           "                     default: HARTDTM_REGISTRY, else the build's registry when run\n"
           "                     from its build folder, else the per-user registry\n"
           "  --virtual-time     run on a virtual clock: waits take no real time\n"
           "  --answers LIST     comma-separated answers for the next user messages\n"
           "  --latency MS       time the line takes to answer a request (5; 0 answers inside it)\n"
           "  --timeout MS       time after which a silent device counts as not answering (1000)\n"
           "  --devices DIR      device packages and their schemas folder\n"
           "  --keep-going       go on after a failed command (the exit status stays 1)\n"
           "  --trace            print the HART line's traffic\n"
           "Commands, one a line, '#' starting a comment:\n"
        << frame::scriptUsage();
}

bool parseMs(const std::string& text, frame::Milliseconds& out) {
    const std::optional<long> value = frame::parseNumber(text);
    if (!value) return false;
    out = frame::Milliseconds{*value};
    return true;
}

// Reads the options; false (after a message) for a usage error.
bool parseCommandLine(int argc, char** argv, CommandLine& options, bool& help) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&](std::string& out) {
            if (i + 1 >= argc) {
                std::cerr << "dtmframe: " << arg << " needs a value\n";
                return false;
            }
            out = argv[++i];
            return true;
        };
        std::string text;
        if (arg == "-h" || arg == "--help") {
            help = true;
        } else if (arg == "-e") {
            if (!value(text)) return false;
            options.lines.push_back(text);
        } else if (arg == "--device") {
            if (!value(options.frame.deviceSpec)) return false;
        } else if (arg == "--registry") {
            if (!value(options.registry)) return false;
        } else if (arg == "--answers") {
            if (!value(options.answers)) return false;
        } else if (arg == "--devices") {
            if (!value(text)) return false;
            options.frame.devicesRoot = text;
        } else if (arg == "--latency" || arg == "--timeout") {
            frame::Milliseconds ms{};
            if (!value(text) || !parseMs(text, ms)) {
                std::cerr << "dtmframe: " << arg << " needs a number of milliseconds\n";
                return false;
            }
            (arg == "--latency" ? options.frame.communication.latency
                                : options.frame.communication.responseTimeout) = ms;
        } else if (arg == "--virtual-time") {
            options.virtualTime = true;
        } else if (arg == "--keep-going") {
            options.keepGoing = true;
        } else if (arg == "--trace") {
            options.trace = true;
        } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
            std::cerr << "dtmframe: unknown option " << arg << '\n';
            return false;
        } else if (options.scriptFile.empty()) {
            options.scriptFile = arg;
        } else {
            std::cerr << "dtmframe: more than one script given\n";
            return false;
        }
    }
    if (!options.scriptFile.empty() && !options.lines.empty()) {
        std::cerr << "dtmframe: give either a SCRIPT or -e lines\n";
        return false;
    }
    return true;
}

// True when `path` lies inside `folder` (both canonical).
bool isInside(const std::filesystem::path& path, const std::filesystem::path& folder) {
    auto at = path.begin();
    for (const auto& part : folder) {
        if (part.empty()) continue;  // a trailing separator
        if (at == path.end() || *at != part) return false;
        ++at;
    }
    return true;
}

// The registry when neither --registry nor HARTDTM_REGISTRY names one: a
// dtmframe run from its build folder uses the registry the build registers
// its modules into; elsewhere the per-user one of installed modules applies.
void useBuildRegistryByDefault() {
    if (const char* set = std::getenv("HARTDTM_REGISTRY"); set && *set) return;
    std::error_code error;
    const std::filesystem::path self = std::filesystem::canonical("/proc/self/exe", error);
    if (error) return;
    const std::filesystem::path build = std::filesystem::canonical(HARTDTM_BUILD_DIR, error);
    if (error || !isInside(self, build)) return;
    setenv("HARTDTM_REGISTRY", HARTDTM_BUILD_REGISTRY, 1);
}

void useRegistry(const std::string& path) {
    if (path.empty()) {
        useBuildRegistryByDefault();
        return;
    }
    std::error_code error;
    std::filesystem::path file = path;
    if (std::filesystem::is_directory(file, error)) file /= "registry";
    setenv("HARTDTM_REGISTRY", std::filesystem::absolute(file, error).string().c_str(), 1);
}

std::vector<std::string> splitList(const std::string& list) {
    std::vector<std::string> items;
    std::stringstream stream(list);
    std::string item;
    while (std::getline(stream, item, ',')) {
        if (!item.empty()) items.push_back(item);
    }
    return items;
}

// On a terminal, the user answers each message that no script answered.
frame::UserDialog::Asker terminalAsker() {
    return [](const frame::UserMessage& message,
              const std::vector<std::string>& offered) -> std::optional<std::string> {
        for (int attempt = 0; attempt < 3; ++attempt) {
            std::cout << "message " << message.title << ": " << message.text() << "\n  answer (";
            for (std::size_t i = 0; i < offered.size(); ++i)
                std::cout << (i ? ", " : "") << offered[i].substr(6);
            std::cout << ") [" << message.defaultButton.substr(6) << "]: " << std::flush;
            std::string reply;
            if (!std::getline(std::cin, reply)) return std::nullopt;
            if (reply.empty()) return message.defaultButton;
            if (std::optional<std::string> name = frame::buttonName(reply)) return name;
        }
        return std::nullopt;
    };
}

bool readText(const std::string& file, std::string& text) {
    if (file.empty() || file == "-") {
        std::stringstream all;
        all << std::cin.rdbuf();
        text = all.str();
        return true;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::stringstream all;
    all << in.rdbuf();
    text = all.str();
    return true;
}

// Reads commands one by one from a terminal; a bad line is reported and skipped.
bool runInteractively(frame::ScriptRunner& runner) {
    bool allOk = true;
    std::string text;
    for (int number = 1;; ++number) {
        std::cout << "dtmframe> " << std::flush;
        if (!std::getline(std::cin, text)) break;
        const frame::LineRead read = frame::readScriptLine(text, number);
        if (!read.error.empty()) {
            runner.reportUnreadable(number, read.error);
            allOk = false;
        } else if (read.line && !runner.runLine(*read.line)) {
            allOk = false;
        }
    }
    std::cout << '\n';
    return allOk;
}

int runSession(CommandLine options) {
    if (options.trace) {
        options.frame.lineTrace = [](const std::string& line) {
            std::cout << "trace " << line << '\n';
        };
    }
    frame::SessionLoop loop(options.virtualTime ? frame::SessionLoop::Clock::Virtual
                                                : frame::SessionLoop::Clock::RealTime);
    frame::Frame frame(loop, options.frame);
    std::vector<std::string> warnings;
    if (const com::Status opened = frame.openDevice(&warnings); !opened) {
        std::cerr << "dtmframe: " << opened.reason << '\n';
        return kExitUsage;
    }
    for (const std::string& warning : warnings)
        std::cerr << "dtmframe: simulator: " << warning << '\n';
    std::vector<std::string> answers;
    for (const std::string& word : splitList(options.answers)) {
        const std::optional<std::string> name = frame::buttonName(word);
        if (!name) {
            std::cerr << "dtmframe: --answers: '" << word << "' names no button\n";
            return kExitUsage;
        }
        answers.push_back(*name);
    }
    frame.dialog().queueAnswers(answers);
    const bool interactive =
        options.scriptFile.empty() && options.lines.empty() && isatty(STDIN_FILENO);
    if (isatty(STDIN_FILENO)) frame.dialog().setAsker(terminalAsker());

    std::string source =
        options.lines.empty() ? (options.scriptFile.empty() ? "stdin" : options.scriptFile) : "-e";
    frame::ScriptRunner runner(frame, std::cout, std::cerr, source);
    frame::ViewHost views(frame);
    runner.setExtension([&views](const frame::ScriptLine& line) { return views.run(line); });
    // An open view closes before the frame releases the DTM behind it.
    const auto finish = [&views, &runner] {
        if (views.viewOpen()) views.close();
        runner.finish();
    };
    if (interactive) {
        const bool ok = runInteractively(runner);
        finish();
        return ok ? 0 : kExitFailed;
    }

    std::string text;
    if (!options.lines.empty()) {
        for (const std::string& line : options.lines) text += line + "\n";
    } else if (!readText(options.scriptFile, text)) {
        std::cerr << "dtmframe: cannot read " << options.scriptFile << '\n';
        return kExitUsage;
    }
    const frame::ScriptRead script = frame::readScript(text);
    if (!script.ok()) {
        runner.reportUnreadable(script.errorLine, script.error);
        return kExitFailed;
    }
    const bool ok = runner.run(script.lines, options.keepGoing);
    // The script's outcome decides the exit status; the release at the end is
    // the frame's own and only shows in the transcript.
    finish();
    return ok ? 0 : kExitFailed;
}

}  // namespace

int main(int argc, char** argv) {
    CommandLine options;
    bool help = false;
    if (!parseCommandLine(argc, argv, options, help)) {
        printUsage(std::cerr);
        return kExitUsage;
    }
    if (help) {
        printUsage(std::cout);
        return 0;
    }
    useRegistry(options.registry);
    return runSession(std::move(options));
}
