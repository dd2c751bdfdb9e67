// The frame session's device work: the frame's upload and download requests,
// actions through the private interface, waiting, scripted answers and the
// frame's programmed faults.

#include <charconv>

#include "frame/frame_host.h"
#include "frame/frame_ids.h"
#include "frame/frame_result_p.h"
#include "frame/frame_session.h"
#include "frame/simulator_backend.h"

namespace frame {

CommandResult Frame::upload() {
    return transfer(false);
}
CommandResult Frame::download() {
    return transfer(true);
}

CommandResult Frame::transfer(bool download) {
    const auto online = dtmAs<IDtmOnlineParameter>();
    if (!online)
        return dtm_ ? CommandResult::failure("the DTM has no IDtmOnlineParameter") : noDtm();
    const std::string operation = download ? "DownloadRequest" : "UploadRequest";
    const std::string finishedKind = download ? "download-finished" : "upload-finished";
    const std::string invokeId = sequentialId(IdKind::invokeId, ++invokeIds_);
    const std::size_t from = events().size();
    VARIANT_BOOL started = VARIANT_FALSE;
    const com::Bstr id = com::Bstr::fromUtf8(invokeId);
    const com::Bstr path = com::Bstr::fromUtf8("");
    const HRESULT hr = download ? online->DownloadRequest(id.get(), path.get(), &started)
                                : online->UploadRequest(id.get(), path.get(), &started);
    if (CommandResult result = booleanResult(operation, hr, started); !result.ok) {
        settle();
        return result;
    }
    const auto finished = [&] { return events().find(finishedKind, invokeId, from) != nullptr; };
    const bool ended = loop_.runUntil(finished, options_.transferLimit);
    settle();
    if (!ended) {
        return CommandResult::failure("no " + finishedKind + " for " + invokeId + " within " +
                                      std::to_string(options_.transferLimit.count()) + " ms");
    }
    const FrameEvent* event = events().find(finishedKind, invokeId, from);
    const bool success = event->fields.size() > 1 && event->fields[1] == "TRUE";
    if (!success) return CommandResult::failure(finishedKind + " " + invokeId + " FALSE", "FALSE");
    return CommandResult::success("TRUE");
}

namespace {

// The upload and download elements of an action script.
std::size_t transferElements(std::string_view script) {
    std::size_t count = 0;
    for (std::string_view keyword : {std::string_view("upload"), std::string_view("download")}) {
        for (std::size_t at = script.find(keyword); at != std::string_view::npos;
             at = script.find(keyword, at + keyword.size())) {
            ++count;
        }
    }
    return count;
}

}  // namespace

CommandResult Frame::action(std::string_view script) {
    const auto engine = dtmAs<IQadGenericDTMObject>();
    if (!engine)
        return dtm_ ? CommandResult::failure("the DTM has no IQadGenericDTMObject") : noDtm();
    const std::size_t from = events().size();
    BSTR slot = com::allocBstr(script);
    const HRESULT hr = engine->DoAction(&slot, com::ComPtr<IDispatch>(observer_.get()).get());
    com::Bstr::attach(slot);
    if (FAILED(hr)) {
        settle();
        return CommandResult::failure("DoAction failed (" + hresultText(hr) + ")");
    }
    const bool ended = loop_.settle(options_.transferLimit);
    if (!ended)
        return CommandResult::failure("the action still runs after " +
                                      std::to_string(options_.transferLimit.count()) + " ms");
    if (const std::size_t errors = events().count("error", from); errors > 0)
        return CommandResult::failure(
            "the DTM reported " + std::to_string(errors) + " error(s) during the action", "FALSE");
    // Each transfer element that ran to its end was reported finished; the
    // others were vetoed, refused or are stuck in a queue that sends nothing.
    const std::size_t elements = transferElements(script);
    const std::size_t finished = events().count("action-finished", from);
    if (finished < elements)
        return CommandResult::failure(std::to_string(finished) + " of " + std::to_string(elements) +
                                          " transfer element(s) finished",
                                      "FALSE");
    return CommandResult::success("TRUE");
}

CommandResult Frame::wait(Milliseconds duration) {
    loop_.wait(duration);
    return CommandResult::success();
}

CommandResult Frame::answer(const std::vector<std::string>& buttons) {
    std::vector<std::string> names;
    for (const std::string& word : buttons) {
        std::optional<std::string> name = buttonName(word);
        if (!name)
            return CommandResult::failure(
                "'" + word + "' names no button (ok, cancel, abort, retry, ignore, yes, no)");
        names.push_back(std::move(*name));
    }
    dialog().queueAnswers(names);
    std::string pending;
    for (const std::string& name : dialog().pendingAnswers())
        pending += (pending.empty() ? "" : " ") + name;
    return CommandResult::success(pending);
}

namespace {

// Splits off the first blank-separated word of text.
std::string_view nextWord(std::string_view& text) {
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        text = {};
        return {};
    }
    text.remove_prefix(start);
    const std::size_t end = text.find_first_of(" \t");
    const std::string_view word = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    return word;
}

std::string_view trimmed(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos) return {};
    const std::size_t end = text.find_last_not_of(" \t");
    return text.substr(start, end - start + 1);
}

std::optional<unsigned> number(std::string_view word, unsigned limit) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (ec != std::errc() || end != word.data() + word.size() || word.empty() || value > limit)
        return std::nullopt;
    return value;
}

std::optional<unsigned> count(std::string_view word, unsigned fallback, unsigned limit) {
    if (word.empty()) return fallback;
    return number(word, limit);
}

constexpr std::string_view kFaultUsage =
    "fault refuse connect|disconnect|transaction|lock [COUNT] | drop [COUNT] | next COUNT FAULT | "
    "command NUMBER TIMES FAULT | clear";

}  // namespace

CommandResult Frame::fault(std::string_view spec) {
    std::string_view rest = spec;
    const std::string_view verb = nextWord(rest);
    if (verb == "clear") {
        locks().clearRefusals();
        if (communicationImpl_) communicationImpl_->faults() = {};
        if (SimulatorBackend* sim = simulator()) sim->faults().clear();
        return CommandResult::success("no faults programmed");
    }
    if (verb == "refuse" || verb == "drop") {
        const std::string_view kind =
            verb == "refuse" ? nextWord(rest) : std::string_view("answer");
        const std::optional<unsigned> times = count(nextWord(rest), 1, 1000000);
        if (!times || !trimmed(rest).empty())
            return CommandResult::failure(std::string(kFaultUsage));
        if (kind == "lock") {
            locks().refuseNext(*times);
        } else {
            if (const com::Status ready = ensureCommunication(); !ready)
                return CommandResult::failure(ready.reason);
            LineFaults& faults = communicationImpl_->faults();
            unsigned* target = kind == "connect"       ? &faults.refuseConnect
                               : kind == "disconnect"  ? &faults.refuseDisconnect
                               : kind == "transaction" ? &faults.refuseTransaction
                               : kind == "answer"      ? &faults.dropAnswers
                                                       : nullptr;
            if (!target) return CommandResult::failure(std::string(kFaultUsage));
            *target += *times;
        }
        return CommandResult::success(
            verb == "drop" ? "the next " + std::to_string(*times) + " answer(s) are lost"
                           : "the next " + std::to_string(*times) + " " + std::string(kind) +
                                 " request(s) are refused");
    }
    if (verb != "next" && verb != "command")
        return CommandResult::failure(std::string(kFaultUsage));
    if (!backend_) {
        if (const com::Status opened = openDevice(); !opened)
            return CommandResult::failure(opened.reason);
    }
    SimulatorBackend* sim = simulator();
    if (!sim)
        return CommandResult::failure("device faults need a simulated device (--device sim:...)");
    std::optional<unsigned> command;
    if (verb == "command") {
        command = number(nextWord(rest), 255);
        if (!command) return CommandResult::failure(std::string(kFaultUsage));
    }
    const std::optional<unsigned> times = number(nextWord(rest), 1000000);
    if (!times) return CommandResult::failure(std::string(kFaultUsage));
    const std::string_view faultText = trimmed(rest);
    const std::optional<simulator::Fault> fault = simulator::parseFault(faultText);
    if (!fault) {
        return CommandResult::failure("'" + std::string(faultText) +
                                      "' is no fault (rc=N, status=N, commerror=REASON, noanswer)");
    }
    if (command) {
        sim->faults().onCommand(static_cast<std::uint8_t>(*command), *fault, *times);
        return CommandResult::success(
            "command " + std::to_string(*command) + ": " + std::string(faultText) +
            (*times == 0 ? " until cleared" : " " + std::to_string(*times) + " time(s)"));
    }
    if (*times == 0) return CommandResult::failure("next needs a COUNT of at least 1");
    sim->faults().onNextRequests(*times, *fault);
    return CommandResult::success("the next " + std::to_string(*times) +
                                  " request(s): " + std::string(faultText));
}

}  // namespace frame
