// Factory configuration: writes the factory values in a chain of commands,
// each started when the one before completed.

#include <initializer_list>
#include <string>

#include "positioner/workflows.h"

namespace positioner {

namespace {

// The scripts' items stand one per line in the device team's layout: each
// followed by a comma and tab characters, the last one by nothing.
struct ScriptItem {
    const char* text;
    int tabs;
};

std::string joinItems(std::initializer_list<ScriptItem> items) {
    std::string script;
    std::size_t left = items.size();
    for (const ScriptItem& item : items) {
        script += item.text;
        if (--left > 0) script += "," + std::string(static_cast<std::size_t>(item.tabs), '\t');
    }
    return script;
}

const std::string& factoryDefaultScript() {
    static const std::string script = joinItems({
        {"setvalue[1340640597=1]", 4},  {"setvalue[1581337199=1]", 4},
        {"setvalue[1677517120=0]", 4},  {"setvalue[261012777=0]", 4},
        {"setvalue[1950661746=0]", 5},  {"setvalue[840707063=0]", 4},
        {"setvalue[1259066829=0]", 4},  {"setvalue[212097963=0]", 4},
        {"setvalue[1483807622=0]", 4},  {"setvalue[1750769078=0.5]", 4},
        {"setvalue[322892486=0]", 4},   {"setvalue[972721312=100]", 4},
        {"setvalue[1058904971=0]", 4},  {"setvalue[918008295=6]", 4},
        {"setvalue[1718309488=0]", 5},  {"setvalue[2012553137=0.5]", 4},
        {"setvalue[1587511539=0]", 4},  {"setvalue[297655519=0]", 4},
        {"setvalue[1093331316=21]", 4}, {"setvalue[879519424=0]", 4},
        {"setvalue[1627375400=2]", 4},  {"download[165,175]", 0},
    });
    return script;
}

const std::string& secondDefaultScript() {
    static const std::string script = joinItems({
        {"setvalue[1054464796=100]", 5},
        {"setvalue[1995720731=160]", 5},
        {"setvalue[1958052756=20]", 5},
        {"setvalue[31476398=30]", 5},
        {"setvalue[97070578=-2]", 5},
        {"setvalue[2062011447=0]", 5},
        {"setvalue[591879724=13]", 5},
        {"setvalue[1389550902=0]", 5},
        {"setvalue[1770670352=4]", 5},
        {"download[173],upload[216]", 0},
    });
    return script;
}

}  // namespace

void Workflows::factoryConfiguration(ProcedureCall& call) {
    const WorkflowEvent& e = call.event;
    if (e.is(ids::kCancel)) {
        cancelRun(call);
        return;
    }
    if (call.step == 0) {
        if (!e.isStartOrContinue()) return;
        engine_.setValid(call.continueButton, false);
        call.status = "FactoryConfigRunning";
        engine_.run(factoryDefaultScript());
        call.step = 1;
        return;
    }
    if (call.step == 1) {
        if (e.done(167)) {
            engine_.run("setvalue[539950661=4],setvalue[1000059263=20],download[181]");
        } else if (e.done(175)) {
            engine_.run("upload[210,211,212]");
        } else if (e.done(181)) {
            engine_.run("upload[213]");
        } else if (e.done(212)) {
            engine_.run("setvalue[1389020516=100],download[167]");
        } else if (e.done(213)) {
            engine_.run(secondDefaultScript());
        } else if (e.done(216)) {
            engine_.setValid(call.continueButton, true);
            call.step = 2;
        }
    }
    if (call.step == 2) {
        engine_.message("FactoryConfigComplete");
        call.status = "FactoryConfigComplete";
        engine_.set(ids::kStart, "0");
        call.step = -1;
        dispatch(0, 0, WorkflowEvent::kNoCommand);
    }
}

}  // namespace positioner
