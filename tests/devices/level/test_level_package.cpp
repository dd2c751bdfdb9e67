// Checks of the level transmitter/controller package: every id, command and
// key that the level panels, views and documents use is present, and the
// command layouts, references and pictures are consistent.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>

#include "tests/devices/level/level_package_model.h"

namespace level_package {
namespace {

constexpr const char* kDeviceFile = "Lenmor.zor";
constexpr const char* kDtmFile = "Varnholt Lenmor HART Device Description.xml";
constexpr const char* kLanguageFile = "Lenmor_HART.dct";
constexpr const char* kIconFile = "Lenmor_PROGRAM_DTM.ico";
constexpr const char* kProfileFile = "simulator-profile.xml";

// Parameter ids of the level panels, the level views' cyclic scripts, the
// identification documents and the ids with fixed meaning.
constexpr int kRequiredIds[] = {
    // header, measurement and address views
    1122622930,
    1331626720,
    444726575,
    1085386367,
    581267908,
    1296660361,
    1917418849,
    328966019,
    1120274244,
    1000100,
    1000200,
    698020263,
    196666074,
    1,
    // controller monitor and parameters
    1741075726,
    1588410518,
    1000207,
    374985680,
    658252150,
    1672677464,
    1493997491,
    1983678996,
    520296734,
    1000201,
    1563047431,
    494349854,
    2115280093,
    141227799,
    1769317936,
    1108237772,
    328023364,
    162011848,
    1141028619,
    1391510669,
    1959499207,
    1683633882,
    1904343435,
    // transmitter/controller configuration
    666245274,
    645565756,
    1056037943,
    1817244364,
    1360456934,
    638802010,
    2013043987,
    896848662,
    1326675294,
    693116414,
    1526220577,
    // configuration data base
    1884571102,
    897247482,
    1855254222,
    1658434237,
    1390031204,
    286913701,
    1300969454,
    395233090,
    1146718781,
    1419333933,
    1437718878,
    1309092556,
    398291545,
    1798445683,
    297291758,
    871404673,
    1277903771,
    334915089,
    334749433,
    914445881,
    348605393,
    1258604353,
    // alarms
    1254959431,
    978908723,
    1328646927,
    1581136627,
    570849087,
    1348480682,
    96811857,
    152202733,
    // level/interface calibration, specific gravity, calibration parameters
    117796017,
    1000204,
    1670254678,
    1322873274,
    1000205,
    1803493108,
    1000203,
    177080380,
    1304192516,
    1115162868,
    2064083964,
    1991790931,
    1429571416,
    1427493948,
    658368038,
    // calibration tools
    46460907,
    653578392,
    1708237663,
    181154374,
    1000301,
    // diagnostics
    594381523,
    1130356733,
    767961925,
    1727853799,
    1000202,
    1000501,
    570458891,
    1450013492,
    1316935848,
    1000500,
    811600468,
    1000300,
    // faults panel
    1457084568,
    1276474435,
    1472258486,
    916480181,
    1490274151,
    197216275,
    1485728998,
    2042198713,
    263022595,
    1114763384,
    190354588,
    1438275986,
    622959345,
    1401400058,
    2053325823,
    2101471034,
    44933904,
    607875694,
    994830474,
    605176540,
    1811752241,
    136068488,
    97846454,
    1446225362,
    568482010,
    467030866,
    474660290,
    2024606965,
    965867385,
    1668548460,
    1340043404,
    1931717749,
    480012922,
    // identification documents and fixed meanings
    438775785,
    1117277483,
    1274278243,
    210179647,
    439972815,
};

// Scripts of the level panels' buttons and state boxes, and the level views'
// cyclic uploads for each shown panel.
constexpr const char* kScripts[] = {
    "setvalue[1000100=1]",
    "download[191]",
    "upload[184]",
    "upload[185]",
    "upload[186, 188]",
    "upload[187, 189]",
    "download[135]",
    "download[37, 202]",
    "download[36, 202]",
    "upload[134]",
    "download[137]",
    "upload[136]",
    "upload[247]",
    "download[245]",
    "download[246]",
    "upload[152]",
    "upload[134, 136, 152, 15, 200, 202]",
    "upload[44,156, 135, 137, 34, 201, 203]",
    "setvalue[46460907=4], download[40]",
    "download[45]",
    "setvalue[46460907=20], download[40]",
    "download[46]",
    "download[40]",
    "setvalue[1000301=1]",
    "setvalue[1000301=0] setvalue[181154374=0]",
    "download[151]",
    "download[174]",
    "download[205]",
    "upload[204]",
    "download[173]",
    "setvalue[1000300=1]",
    "setvalue[1000300=0] setvalue[811600468=0]",
    "download[149]",
    "upload[0, 12, 13, 16, 160, 138, 152, 170, 204, 3]",
    "upload[3]",
    "upload[0, 12, 13, 16, 160, 138, 152, 170, 204,]",
    "upload[160,3]",
    "upload[160,3, 186]",
    "upload[160,148, 155]",
    "upload[160,150, 152]",
    "upload[160,2, 170]",
};

// Universal and common-practice commands the package must carry.
constexpr int kUniversalCommands[] = {0,  1,  2,  3,  6,  12, 13, 15, 16, 17, 18, 19,
                                      34, 35, 36, 37, 38, 40, 42, 44, 45, 46, 48};

// Standard request and reply byte counts of those commands.
struct FrameLength {
    int command, request, reply;
};
constexpr FrameLength kStandardLengths[] = {
    {0, 0, 12},  {1, 0, 5},   {2, 0, 8},  {3, 0, 24},   {6, 1, 1},    {12, 0, 24},
    {13, 0, 21}, {15, 0, 17}, {16, 0, 3}, {17, 24, 24}, {18, 21, 21}, {19, 3, 3},
    {34, 4, 4},  {35, 9, 9},  {36, 0, 0}, {37, 0, 0},   {38, 0, 0},   {40, 4, 4},
    {42, 0, 0},  {44, 1, 1},  {45, 4, 4}, {46, 4, 4},   {48, 0, 6},
};

// Fields that sit at fixed places of standard replies.
struct ReplyField {
    int command, id, position, size;
};
constexpr ReplyField kStandardFields[] = {
    {0, 2024606965, 1, 1},   {0, 965867385, 2, 1},    {0, 438775785, 4, 1},
    {0, 1340043404, 5, 1},   {0, 1931717749, 6, 1},   {0, 1117277483, 8, 1},
    {0, 444726575, 9, 3},    {1, 196666074, 1, 4},    {2, 698020263, 0, 4},
    {3, 698020263, 0, 4},    {3, 1115162868, 4, 1},   {3, 196666074, 5, 4},
    {12, 1031198652, 0, 24}, {13, 1122622930, 0, 6},  {13, 1331626720, 6, 12},
    {13, 36205890, 18, 3},   {15, 1115162868, 2, 1},  {15, 177080380, 3, 4},
    {15, 1304192516, 7, 4},  {15, 2064083964, 11, 4}, {16, 1085386367, 0, 3},
};

// Texts the level panels, menus and messages show by key.
constexpr const char* kTextKeys[] = {
    "Lenmor",
    "ActiveMode",
    "ModeToSet",
    "ApplyMode",
    "Measurement",
    "fSignal",
    "fLevel",
    "menu_addr_label",
    "fSPCtrl",
    "WriteSP",
    "fControllerOutput",
    "PID",
    "Read PID",
    "ApplyPID",
    "other",
    "bErrorMode",
    "bDeviationAlarm",
    "bDirectActing",
    "bRatioControl",
    "Read",
    "ApplyCtrl",
    "Transmitter",
    "bInterface",
    "bRight",
    "bRevActing",
    "cLanguage",
    "bLockLevel",
    "Controller",
    "bController",
    "cLocalSPUnits",
    "Displacer",
    "cDisplVolUnits",
    "cDisplWeightUnits",
    "cDisplHeightUnits",
    "TorqueTubeAndChamber",
    "bConfigData1",
    "bConfigData2",
    "bConfigData3",
    "bConfigData4",
    "DisplacerType",
    "bWithDiplacer",
    "bNotStandard",
    "bStainlessSteel",
    "bExtensionRod",
    "Options",
    "bExtensionHTLT",
    "bIntrinsicSafety",
    "bFlameproof",
    "bWeatherproof",
    "ChamberOptions",
    "bSteel",
    "bDrain",
    "bVent",
    "bLowAlarm",
    "bHighAlarm",
    "bFail",
    "fLLevelAlarm",
    "nPosTime1",
    "fULevelAlarm",
    "nPosTime2",
    "fAlarmSignalMA",
    "LevelTransmitter",
    "SGCal_Info_Calibration",
    "RecordSG",
    "ZERO",
    "SPAN",
    "READ",
    "InterfaceTransmitter",
    "fSGLowerUpperCal_Info_Calibration",
    "RecordSGLowHigh",
    "SpecificGravityMeter",
    "ResetToFactory",
    "Ranges",
    "pv_units_code",
    "SGCal_Info_Parameter",
    "fSGLowerUpperCal_Info_Parameter",
    "Apply",
    "4_20_Calibration",
    "4mA",
    "Set",
    "Info_4_20_mA_Calibration",
    "20mA",
    "SetCurrent",
    "Info_Current_Calibration",
    "Coupling",
    "On",
    "Off",
    "Info_Coupling",
    "ContinuousDiagData",
    "ResetData",
    "Filtering",
    "AutoTune",
    "SaveCoef",
    "ReadCoef",
    "SensorTest",
    "Info_Sensor_Test",
    "ClearStatus",
    "CurrentFaults",
    "manufacturer_id",
    "device_type",
    "hardware_revision",
    "transmitter_revision",
    "software_revision",
    "poll_addr",
    "menu_table_root",
    "menu_table_menuNormalMode",
    "menu_table_menuTransMonitorView",
    "menu_table_menuFaults",
    "menu_table_menuCtrlMonitorView",
    "menu_table_menuControllerParameters",
    "menu_table_menuManualMode",
    "menu_table_menuConfiguration",
    "menu_table_menuTransAndOrCtrlConfig",
    "menu_table_menuAlarmsAndFailsafe",
    "menu_table_menuConfigDataBase",
    "menu_table_menuCalibration",
    "menu_table_menuLevelOrInterfaceTrans",
    "menu_table_menuCalParameters",
    "menu_table_menuCalTools",
    "menu_table_menuSpecificGravityMeter",
    "menu_table_menuDiagnostic",
    "inconsistent_data_help",
    "CMDResponse2",
    "CMDResponse7",
    "CMDResponse16",
    "CMDResponse32",
    "CMDResponse64",
};

// Parameters that panels show with the key as the parameter's own name.
struct LabelledParameter {
    const char* key;
    int id;
};
constexpr LabelledParameter kLabelledParameters[] = {
    {"fSignal", 698020263},
    {"fLevel", 196666074},
    {"fSPCtrl", 1741075726},
    {"fControllerOutput", 374985680},
    {"bErrorMode", 1391510669},
    {"bDeviationAlarm", 1959499207},
    {"bDirectActing", 1683633882},
    {"bRatioControl", 1904343435},
    {"bInterface", 666245274},
    {"bRight", 645565756},
    {"bRevActing", 1056037943},
    {"cLanguage", 1817244364},
    {"bLockLevel", 1360456934},
    {"bController", 638802010},
    {"cLocalSPUnits", 2013043987},
    {"cDisplVolUnits", 897247482},
    {"cDisplWeightUnits", 1658434237},
    {"cDisplHeightUnits", 1300969454},
    {"bConfigData1", 395233090},
    {"bConfigData2", 1146718781},
    {"bConfigData3", 1419333933},
    {"bConfigData4", 1437718878},
    {"bWithDiplacer", 1309092556},
    {"bNotStandard", 398291545},
    {"bStainlessSteel", 1798445683},
    {"bExtensionRod", 297291758},
    {"bExtensionHTLT", 871404673},
    {"bIntrinsicSafety", 1277903771},
    {"bFlameproof", 334915089},
    {"bWeatherproof", 334749433},
    {"bSteel", 914445881},
    {"bDrain", 348605393},
    {"bVent", 1258604353},
    {"bLowAlarm", 1254959431},
    {"bHighAlarm", 978908723},
    {"bFail", 1328646927},
    {"fLLevelAlarm", 1581136627},
    {"nPosTime1", 570849087},
    {"fULevelAlarm", 1348480682},
    {"nPosTime2", 96811857},
    {"fAlarmSignalMA", 152202733},
    {"pv_units_code", 1115162868},
    {"manufacturer_id", 2024606965},
    {"device_type", 965867385},
    {"hardware_revision", 1668548460},
    {"transmitter_revision", 1340043404},
    {"software_revision", 1931717749},
    {"poll_addr", 480012922},
};

// Parameters shown in enumeration boxes and rows.
constexpr int kEnumerationIds[] = {
    328966019,  1120274244, 1391510669, 1959499207, 1683633882, 1904343435, 666245274,  645565756,
    1056037943, 1817244364, 1360456934, 638802010,  2013043987, 897247482,  1658434237, 1300969454,
    395233090,  1146718781, 1419333933, 1437718878, 1309092556, 398291545,  1798445683, 297291758,
    871404673,  1277903771, 334915089,  334749433,  914445881,  348605393,  1258604353, 1254959431,
    978908723,  1328646927, 1115162868, 2024606965, 965867385,
};

// Parameters of the fault list.
constexpr int kFaultIds[] = {
    1457084568, 1276474435, 1472258486, 916480181, 1490274151, 197216275, 1485728998,
    2042198713, 263022595,  1114763384, 190354588, 1438275986, 622959345, 1401400058,
    2053325823, 2101471034, 44933904,   607875694, 994830474,  605176540, 1811752241,
    136068488,  97846454,   1446225362, 568482010, 467030866,  474660290,
};

// Parameters that a panel can write (value fields, enumeration boxes,
// state boxes and setvalue scripts).
constexpr int kWritableIds[] = {
    1120274244, 1000100,    1588410518, 658252150,  1563047431, 1391510669, 666245274,
    2013043987, 896848662,  1884571102, 395233090,  1254959431, 1581136627, 117796017,
    1670254678, 1803493108, 177080380,  1115162868, 2064083964, 46460907,   653578392,
    1708237663, 1000300,    1000301,    570458891,  1,
};

class LevelPackage : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        device_ =
            new DeviceDescription(loadDeviceDescription(packagePath(kDeviceFile), deviceError_));
        dtm_ = new DtmDescription(loadDtmDescription(packagePath(kDtmFile), dtmError_));
        english_ = new auto(readLanguageTable(packagePath(kLanguageFile), "en"));
        german_ = new auto(readLanguageTable(packagePath(kLanguageFile), "de"));
    }
    static void TearDownTestSuite() {
        delete device_;
        delete dtm_;
        delete english_;
        delete german_;
    }
    void SetUp() override {
        ASSERT_EQ(deviceError_, "");
        ASSERT_EQ(dtmError_, "");
    }

    static const Parameter* find(int id) {
        auto it = device_->parameters.find(id);
        return it == device_->parameters.end() ? nullptr : &it->second;
    }
    static bool translated(const std::string& key) {
        return english_->count(key) && german_->count(key) && !english_->at(key).empty() &&
               !german_->at(key).empty();
    }

    static inline DeviceDescription* device_ = nullptr;
    static inline DtmDescription* dtm_ = nullptr;
    static inline std::map<std::string, std::string>* english_ = nullptr;
    static inline std::map<std::string, std::string>* german_ = nullptr;
    static inline std::string deviceError_, dtmError_;
};

TEST_F(LevelPackage, DescriptionsUseTheDescriptionNamespacesAndBothInterfaces) {
    EXPECT_EQ(device_->rootNamespace, kDeviceNamespace);
    EXPECT_EQ(dtm_->rootNamespace, kDtmNamespace);
    EXPECT_EQ(device_->hartInterfaces, 1);
    EXPECT_EQ(device_->internalInterfaces, 1);
    EXPECT_TRUE(device_->duplicateIds.empty())
        << "first duplicate " << device_->duplicateIds.front();
    EXPECT_TRUE(device_->duplicateCommands.empty());
}

TEST_F(LevelPackage, EveryRequiredParameterIdExists) {
    for (int id : kRequiredIds) EXPECT_NE(find(id), nullptr) << "parameter " << id;
}

TEST_F(LevelPackage, EveryScriptNamesExistingCommandsAndParameters) {
    for (const auto& script : kScripts) {
        const auto refs = scriptReferences(script);
        EXPECT_FALSE(refs.commands.empty() && refs.setValueIds.empty()) << script;
        for (int command : refs.commands)
            EXPECT_TRUE(device_->commands.count(command))
                << "command " << command << " of " << script;
        for (int id : refs.setValueIds)
            EXPECT_NE(find(id), nullptr) << "parameter " << id << " of " << script;
    }
    for (int command : kUniversalCommands)
        EXPECT_TRUE(device_->commands.count(command)) << "command " << command;
}

TEST_F(LevelPackage, ScriptReaderFollowsTheScriptLanguage) {
    struct Case {
        std::string script;
        std::vector<int> commands, ids;
    };
    const std::vector<Case> cases = {
        {"upload[44,156, 135]", {44, 156, 135}, {}},
        {"setvalue[46460907=4], download[40]", {40}, {46460907}},
        {"upload[192,\t191]", {192}, {}},
        {"download[9(2)] first", {9}, {}},
        {"setvalue[1000300=0] setvalue[811600468=0]", {}, {1000300, 811600468}},
    };
    for (const auto& c : cases) {
        const auto refs = scriptReferences(c.script);
        EXPECT_EQ(refs.commands, c.commands) << c.script;
        EXPECT_EQ(refs.setValueIds, c.ids) << c.script;
    }
}

TEST_F(LevelPackage, CommandsUseIndexZeroAndKnownItems) {
    for (const auto& [number, command] : device_->commands) {
        EXPECT_EQ(command.index, 0) << "command " << number;
        for (int id : command.query)
            EXPECT_NE(find(id), nullptr) << "request item " << id << " of command " << number;
        for (const auto& item : command.reply)
            EXPECT_NE(find(item.id), nullptr)
                << "reply item " << item.id << " of command " << number;
    }
}

TEST_F(LevelPackage, ReplyItemsFillTheirReplyWithSizesOfTheirDataTypes) {
    for (const auto& [number, command] : device_->commands) {
        int expectedPosition = 0;
        for (const auto& item : command.reply) {
            const Parameter* p = find(item.id);
            if (!p) continue;  // reported by CommandsUseIndexZeroAndKnownItems
            EXPECT_EQ(item.position, expectedPosition)
                << "command " << number << ": item " << item.id << " leaves a gap or overlaps";
            const auto size = wireSize(*device_, *p);
            ASSERT_TRUE(size.has_value()) << "item " << item.id << " has no bytes";
            EXPECT_EQ(item.size, *size) << "command " << number << ": item " << item.id;
            expectedPosition = item.position + item.size;
        }
        EXPECT_LE(expectedPosition, 255) << "command " << number;
    }
}

TEST_F(LevelPackage, UniversalCommandsHaveTheirStandardLayout) {
    auto requestBytes = [&](const Command& c) {
        int total = 0;
        for (int id : c.query) {
            const Parameter* p = find(id);
            auto size = p ? wireSize(*device_, *p) : std::nullopt;
            EXPECT_TRUE(size.has_value()) << "request item " << id << " of command " << c.number;
            total += size.value_or(0);
        }
        return total;
    };
    auto replyBytes = [](const Command& c) {
        return c.reply.empty() ? 0 : c.reply.back().position + c.reply.back().size;
    };
    for (const auto& length : kStandardLengths) {
        auto it = device_->commands.find(length.command);
        ASSERT_NE(it, device_->commands.end()) << "command " << length.command;
        EXPECT_EQ(requestBytes(it->second), length.request) << "request of " << length.command;
        EXPECT_EQ(replyBytes(it->second), length.reply) << "reply of " << length.command;
    }
    for (const auto& field : kStandardFields) {
        const auto& reply = device_->commands.at(field.command).reply;
        bool found = false;
        for (const auto& item : reply)
            found |=
                item.id == field.id && item.position == field.position && item.size == field.size;
        EXPECT_TRUE(found) << "parameter " << field.id << " at byte " << field.position
                           << " of command " << field.command;
    }
}

TEST_F(LevelPackage, SizesMatchTheirDataTypes) {
    for (const auto& [id, p] : device_->parameters) {
        if (p.typeName == "bit_range") {
            ASSERT_TRUE(p.bitLower && p.bitUpper) << id;
            const Parameter* parent = find(p.parentId);
            ASSERT_NE(parent, nullptr) << "bit range " << id << " needs a parent";
            auto parentSize = wireSize(*device_, *parent);
            ASSERT_TRUE(parentSize.has_value());
            EXPECT_LE(*p.bitLower, *p.bitUpper) << id;
            EXPECT_LT(*p.bitUpper, 8 * *parentSize) << id;
            continue;
        }
        auto size = wireSize(*device_, p);
        ASSERT_TRUE(size.has_value()) << "parameter " << id << " type " << p.typeName;
        ASSERT_TRUE(p.sizedTypeSize.has_value()) << "parameter " << id << " has no sized_type";
        EXPECT_EQ(*p.sizedTypeSize, *size) << "parameter " << id;
    }
}

TEST_F(LevelPackage, RestrictionPointersNameExistingParameters) {
    for (const auto& [id, p] : device_->parameters) {
        for (auto pointer : {p.unitPointer, p.lowerLimitPointer, p.upperLimitPointer}) {
            if (pointer) {
                EXPECT_NE(find(*pointer), nullptr)
                    << "parameter " << id << " points to " << *pointer;
            }
        }
    }
}

TEST_F(LevelPackage, UnitPointersLeadToUnitCodesWithATextForTheirDefault) {
    int withUnit = 0;
    for (const auto& [id, p] : device_->parameters) {
        if (!p.unitPointer) continue;
        ++withUnit;
        const Parameter* unit = find(*p.unitPointer);
        ASSERT_NE(unit, nullptr);
        ASSERT_TRUE(unit->range && unit->defaultValue) << "unit parameter " << unit->id;
        const auto units = unitEntries(*unit->range);
        EXPECT_TRUE(units.count(std::stol(*unit->defaultValue)))
            << "unit parameter " << unit->id << " has no text for its default code";
        for (const auto& [code, label] : enumerationEntries(*unit->range))
            EXPECT_EQ(units.count(code), 1u) << "unit parameter " << unit->id << " code " << code;
    }
    EXPECT_GT(withUnit, 50);
}

TEST_F(LevelPackage, DefaultsLieInsideTheirRange) {
    static const std::regex interval(R"(^\[(-?[\d.]+) to (-?[\d.]+)\]$)");
    for (const auto& [id, p] : device_->parameters) {
        if (!p.defaultValue) continue;
        if (p.lowerLimit && p.upperLimit) {
            const double value = std::stod(*p.defaultValue);
            EXPECT_GE(value, std::stod(*p.lowerLimit)) << "parameter " << id;
            EXPECT_LE(value, std::stod(*p.upperLimit)) << "parameter " << id;
        }
        if (!p.range) continue;
        std::smatch match;
        if (std::regex_match(*p.range, match, interval)) {
            const double value = std::stod(*p.defaultValue);
            EXPECT_GE(value, std::stod(match[1])) << "parameter " << id;
            EXPECT_LE(value, std::stod(match[2])) << "parameter " << id;
        }
        const auto entries = enumerationEntries(*p.range);
        if (!entries.empty()) {
            const long value = std::stol(*p.defaultValue);
            bool listed = false;
            for (const auto& entry : entries) listed |= entry.first == value;
            EXPECT_TRUE(listed) << "default " << value << " of " << id << " is no entry";
        }
    }
}

TEST_F(LevelPackage, PanelEnumerationsAndFaultsHaveTheirEntries) {
    for (int id : kEnumerationIds) {
        const Parameter* p = find(id);
        ASSERT_NE(p, nullptr) << id;
        ASSERT_TRUE(p->range) << "enumeration " << id << " has no range";
        EXPECT_FALSE(enumerationEntries(*p->range).empty()) << "enumeration " << id;
    }
    for (int id : kFaultIds) {
        const Parameter* p = find(id);
        ASSERT_NE(p, nullptr) << id;
        ASSERT_TRUE(p->range) << "fault " << id << " has no range";
        const auto entries = valueLabelEntries(*p->range);
        ASSERT_EQ(entries.size(), 2u) << "fault " << id;
        EXPECT_EQ(entries[0].first, "0");
        EXPECT_EQ(entries[1].first, "1");
    }
    for (int id : {1000300, 1000301}) {
        const Parameter* p = find(id);
        ASSERT_NE(p, nullptr) << id;
        EXPECT_EQ(p->range.value_or(""), "[0 to 1]") << "state box " << id;
    }
}

TEST_F(LevelPackage, PanelParametersAreWritableWhereThePanelsEditThem) {
    for (int id : kWritableIds) {
        const Parameter* p = find(id);
        ASSERT_NE(p, nullptr) << id;
        EXPECT_TRUE(p->writable) << "parameter " << id;
    }
    for (int id : {698020263, 196666074, 2024606965, 965867385, 439972815}) {
        const Parameter* p = find(id);
        ASSERT_NE(p, nullptr) << id;
        EXPECT_FALSE(p->writable) << "parameter " << id;
    }
}

TEST_F(LevelPackage, LabelsAreUniqueAndMatchThePanelKeys) {
    std::set<std::string> labels;
    for (const auto& [id, p] : device_->parameters) {
        EXPECT_FALSE(p.label.empty()) << "parameter " << id;
        EXPECT_TRUE(labels.insert(p.label).second) << "label " << p.label << " used twice";
    }
    for (const auto& [key, id] : kLabelledParameters) {
        const Parameter* p = find(id);
        ASSERT_NE(p, nullptr) << id;
        EXPECT_EQ(p->label, key) << "parameter " << id;
    }
}

TEST_F(LevelPackage, LanguageFileHoldsOnlyMarkedTextLines) {
    EXPECT_EQ(unmarkedEntryLines(packagePath(kLanguageFile)), std::vector<std::string>{});
    EXPECT_EQ(english_->size(), german_->size());
}

TEST_F(LevelPackage, LanguageReaderFollowsTheLanguageFileRules) {
    const std::string path = ::testing::TempDir() + "/level_language_rules.dct";
    {
        std::ofstream out(path, std::ios::binary);
        out << "|de| ignored before any key\r\n"
               "[1] a\n|en| English\n|de| Deutsch \"quoted\"\n"
               "[2]  b\n|de| Zwei\\nZeilen\n|en| Two\n"
               "[3] c\nplain\nmore\n|de| C\n"
               "[4] d\n// comment\nskipped\n|en| D\n";
    }
    const auto en = readLanguageTable(path, "en");
    const auto de = readLanguageTable(path, "de");
    EXPECT_EQ(en.at("a"), "English");
    EXPECT_EQ(de.at("a"), "Deutsch quoted");
    EXPECT_EQ(de.at("b"), "Zwei\nZeilen");
    EXPECT_EQ(en.at("b"), "Two");
    EXPECT_EQ(en.at("c"), "plain more");
    EXPECT_EQ(de.at("c"), "C");
    EXPECT_EQ(en.at("d"), "D");
    EXPECT_FALSE(de.count("d"));
    std::remove(path.c_str());
}

TEST_F(LevelPackage, EveryKeyHasEnglishAndGermanText) {
    for (const auto& key : kTextKeys) EXPECT_TRUE(translated(key)) << "key " << key;
    for (const auto& [id, p] : device_->parameters) {
        EXPECT_TRUE(translated(p.label)) << "label " << p.label;
        EXPECT_TRUE(translated(p.label + "_HELP")) << "help of " << p.label;
    }
    for (const auto& menu : dtm_->menus) {
        if (!menu.separator) {
            EXPECT_TRUE(translated(menu.label)) << "menu " << menu.label;
        }
    }
}

TEST_F(LevelPackage, EnumerationLabelsAreTranslated) {
    for (const auto& [id, p] : device_->parameters) {
        if (!p.range || !unitEntries(*p.range).empty())
            continue;  // unit codes show their unit symbols
        for (const auto& [code, label] : enumerationEntries(*p.range))
            EXPECT_TRUE(translated(label)) << "entry " << code << " of " << id;
        for (const auto& [value, label] : valueLabelEntries(*p.range))
            EXPECT_TRUE(translated(label)) << "entry " << value << " of " << id;
    }
}

TEST_F(LevelPackage, DtmDescriptionOffersTheLevelFunctionsAndTheView) {
    std::set<int> functions;
    for (const auto& menu : dtm_->menus) {
        if (menu.separator) continue;
        EXPECT_TRUE(menu.hasGui) << "function " << menu.functionId;
        functions.insert(menu.functionId);
    }
    EXPECT_EQ(functions, (std::set<int>{101, 102, 1000}));
    EXPECT_EQ(dtm_->deviceViewProgId, "ZorDTMView.ZorBasicDTMView.7");
    for (const char* name : {"name", "vendor", "version", "date", "descriptor"}) {
        EXPECT_FALSE(dtm_->dtmVersion[name].empty()) << "DTMVersion " << name;
        EXPECT_FALSE(dtm_->deviceVersion[name].empty()) << "DeviceVersion " << name;
    }
    // The DTM name becomes the initial device tag: it must fit the tag's 8 characters.
    EXPECT_LE(dtm_->dtmVersion["name"].size(), 8u);
}

TEST_F(LevelPackage, SimulatorProfileDescribesThisDevice) {
    std::string error;
    const auto profile = loadSimulatorProfile(packagePath(kProfileFile), error);
    ASSERT_EQ(error, "");
    EXPECT_EQ(profile.attributes.count("description") ? profile.attributes.at("description") : "",
              kDeviceFile);
    for (const auto& [id, value] : profile.values)
        EXPECT_NE(find(id), nullptr) << "profile value for " << id;
    // The identification the simulated device answers with is the one the
    // description (and so the DTM's device identification) declares.
    for (const auto& [attributeName, id] :
         {std::pair{"manufacturer_id", 2024606965}, std::pair{"device_type", 965867385}}) {
        const Parameter* p = find(id);
        ASSERT_NE(p, nullptr) << id;
        ASSERT_TRUE(profile.values.count(id) && profile.attributes.count(attributeName) && p->range)
            << id;
        EXPECT_EQ(profile.values.at(id), p->defaultValue.value_or("")) << id;
        EXPECT_EQ(profile.attributes.at(attributeName), profile.values.at(id)) << attributeName;
        const auto entries = enumerationEntries(*p->range);
        ASSERT_FALSE(entries.empty()) << id;
        EXPECT_EQ(entries.front().first, std::stol(profile.values.at(id))) << id;
    }
}

// ---------------------------------------------------------------- pictures
std::vector<unsigned char> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t le32(const std::vector<unsigned char>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t le16(const std::vector<unsigned char>& b, size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

TEST(LevelPictures, BitmapsAreValidAndFitTheirPanelRectangles) {
    struct Picture {
        std::string file;
        int width, height;
    };
    for (const auto& picture : {Picture{"Lenmor-header area.bmp", 175, 140},
                                Picture{"Lenmor-Normal Mode.bmp", 214, 350}}) {
        const auto bytes = readBytes(packagePath(picture.file));
        ASSERT_GE(bytes.size(), 54u) << picture.file;
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        EXPECT_EQ(le32(bytes, 2), bytes.size()) << picture.file;
        EXPECT_EQ(le32(bytes, 14), 40u) << picture.file;
        EXPECT_EQ(static_cast<int>(le32(bytes, 18)), picture.width) << picture.file;
        EXPECT_EQ(static_cast<int>(le32(bytes, 22)), picture.height) << picture.file;
        EXPECT_EQ(le16(bytes, 28), 24) << picture.file;
        const std::uint32_t rowSize = (picture.width * 3 + 3) & ~3u;
        EXPECT_EQ(le32(bytes, 10) + rowSize * picture.height, bytes.size()) << picture.file;
    }
}

TEST(LevelPictures, IconIsAValidIconFile) {
    const auto bytes = readBytes(packagePath(kIconFile));
    ASSERT_GE(bytes.size(), 22u);
    EXPECT_EQ(le16(bytes, 0), 0);
    EXPECT_EQ(le16(bytes, 2), 1);
    const int count = le16(bytes, 4);
    ASSERT_GE(count, 1);
    for (int i = 0; i < count; ++i) {
        const size_t entry = 6 + 16 * static_cast<size_t>(i);
        ASSERT_LE(entry + 16, bytes.size());
        const int width = bytes[entry] ? bytes[entry] : 256;
        const std::uint32_t size = le32(bytes, entry + 8), offset = le32(bytes, entry + 12);
        ASSERT_LE(static_cast<size_t>(offset) + size, bytes.size()) << "image " << i;
        EXPECT_EQ(le32(bytes, offset), 40u) << "image " << i;
        EXPECT_EQ(static_cast<int>(le32(bytes, offset + 4)), width) << "image " << i;
        EXPECT_EQ(static_cast<int>(le32(bytes, offset + 8)), 2 * width) << "image " << i;
    }
}

}  // namespace
}  // namespace level_package
