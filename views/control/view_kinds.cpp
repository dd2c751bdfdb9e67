#include "views/control/view_kinds.h"

#include <cctype>
#include <cstdlib>
#include <exception>

#include "platform/xml/document.h"

namespace views::control {

using panels::PanelSlot;

std::optional<ViewKindInfo> viewKindOf(std::int32_t functionId) {
    switch (functionId) {
        case 1: return ViewKindInfo{ViewKind::PositionerMenu, 923, 730};
        case 2: return ViewKindInfo{ViewKind::PositionerMeasurement, 670, 730};
        case 101: return ViewKindInfo{ViewKind::LevelMenu, 923, 765};
        case 102: return ViewKindInfo{ViewKind::LevelMeasurement, 670, 765};
        case 1000: return ViewKindInfo{ViewKind::Address, 450, 600};
        default: return std::nullopt;
    }
}

std::string deviceModuleName(std::int32_t functionId) {
    return functionId == 1 || functionId == 2 ? "VarnholtRavikHARTDTM.so" : "VarnholtLenmorHARTDTM.so";
}

bool cyclesOnFinished(std::int32_t functionId) {
    return functionId == 1 || functionId == 2 || functionId == 101 || functionId == 102;
}

namespace {

// The commands a positioner menu panel adds; the first match wins.
std::string_view positionerPanelCommands(PanelSlot shown) {
    switch (shown) {
        case PanelSlot::Root: return "3, 154";
        case PanelSlot::ReadPressures:
        case PanelSlot::CalibPressure: return "201";
        case PanelSlot::Historian: return "200, 139";
        case PanelSlot::RawData:
        case PanelSlot::CalibSignal: return "141";
        case PanelSlot::SensorMeasurements: return "3,201,141,142,207";
        case PanelSlot::DeviceStatusFaults: return "136";
        case PanelSlot::Commissioning: return "3, 154,201";
        case PanelSlot::ManualSetpoint: return "3";
        default: return "";
    }
}

bool switchedOn(const std::function<std::string(std::int32_t)>& valueOf, std::int32_t id) {
    if (!valueOf) return false;
    const std::string text = valueOf(id);
    return std::strtol(text.c_str(), nullptr, 10) != 0;
}

std::string levelPanelCommands(PanelSlot shown,
                               const std::function<std::string(std::int32_t)>& valueOf) {
    switch (shown) {
        case PanelSlot::TransMonitor: return "3";
        case PanelSlot::CtrlMonitor: return "3, 186";
        case PanelSlot::LevelFaults: return "148, 155";
        case PanelSlot::Diagnostic: return switchedOn(valueOf, 1000300) ? "150, 152" : "150";
        case PanelSlot::CalTools: return switchedOn(valueOf, 1000301) ? "2, 170" : "2";
        default: return "";
    }
}

}  // namespace

std::string uploadScript(ViewKind kind, bool fullUpload, PanelSlot shown,
                         const std::function<std::string(std::int32_t)>& valueOf) {
    switch (kind) {
        case ViewKind::PositionerMeasurement:
            return fullUpload ? "upload[0, 12, 13, 16, 3, 200, 154]" : "upload[3, 154]";
        case ViewKind::LevelMeasurement:
            return fullUpload ? "upload[0, 12, 13, 16, 160, 138, 152, 170, 204, 3]" : "upload[3]";
        case ViewKind::Address:
            return {};
        case ViewKind::PositionerMenu:
            return std::string(fullUpload ? "upload[0, 12, 13, 16, 200, 192, 191, 249," : "upload[249,") +
                   std::string(positionerPanelCommands(shown)) + "]";
        case ViewKind::LevelMenu:
            return std::string(fullUpload ? "upload[0, 12, 13, 16, 160, 138, 152, 170, 204," : "upload[160,") +
                   levelPanelCommands(shown, valueOf) + "]";
    }
    return {};
}

std::optional<std::int32_t> functionIdOf(std::string_view functionCall) {
    try {
        xml::Document document;
        document.setValidateOnParse(false);
        document.setResolveExternals(false);
        if (!document.loadXML(functionCall)) return std::nullopt;
        document.setProperty("SelectionLanguage", "XPath");
        document.setProperty("SelectionNamespaces", "xmlns:func='x-schema:DTMFunctionsSchema.xml'");
        const xml::Node node = document.selectSingleNode("//@func:functionId");
        if (!node) return std::nullopt;
        const std::string text = node.text();
        std::int64_t value = 0;
        std::size_t i = 0;
        while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
        bool negative = false;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
        for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
            value = value * 10 + (text[i] - '0');
            if (value > 0x7FFFFFFF) return 0;  // beyond any function id: no view
        }
        return static_cast<std::int32_t>(negative ? -value : value);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace views::control
