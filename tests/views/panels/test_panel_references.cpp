// Every panel of both device families refers only to what its package
// offers: each label key has an English and a German text, each parameter id
// and each command of a script is in the description, each bitmap is a file
// of the package. User parameters (1000001 upwards) are created by the DTMs
// at run time and count as known. Failures name the view, the panel and the
// missing key or id.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "engine/communication/action_script.h"
#include "engine/description/description_document.h"
#include "engine/description/description_namespaces.h"
#include "engine/dtm/language_table.h"
#include "engine/parameters/device_object.h"
#include "engine/parameters/model_loader.h"
#include "views/panels/panel_table.h"

namespace {

using views::panels::ElementKind;
using views::panels::ElementSpec;
using views::panels::FamilyLayout;
using views::panels::PanelSpec;

constexpr std::int32_t kFirstUserParameter = 1000001;

struct Package {
    std::string folder;
    std::string description;
    std::string dtmDescription;
    std::string languageFile;
};

// One element to check, with where it stands.
struct Visit {
    std::string where;
    const ElementSpec* element;
};

// Every element of a view, children included, and the texts that are keys
// of their own (menu labels, the body's group title).
struct ViewContent {
    std::vector<Visit> elements;
    std::vector<std::pair<std::string, std::string>> labels;  // where, key
};

void collect(const std::string& where, std::span<const ElementSpec> elements,
             std::vector<Visit>& out) {
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const std::string here = where + " #" + std::to_string(i);
        out.push_back({here, &elements[i]});
        collect(here, elements[i].children, out);
    }
}

void collectLayout(const std::string& view, const FamilyLayout& layout, ViewContent& content) {
    collect(view + " header", layout.header, content.elements);
}

void collectPanel(const std::string& where, const PanelSpec& panel, ViewContent& content) {
    if (!panel.menuKey.empty()) content.labels.emplace_back(where, std::string(panel.menuKey));
    collect(where, panel.elements, content.elements);
}

ViewContent positionerViews() {
    ViewContent content;
    collectLayout("positioner", views::panels::positionerMenuView().layout, content);
    for (const auto& item : views::panels::positionerMenuView().items) {
        const std::string where = "positioner menu \"" + std::string(item.key) + "\"";
        content.labels.emplace_back(where, std::string(item.key));
        if (item.panel) collectPanel(where, *item.panel, content);
    }
    collectPanel("positioner measurement", views::panels::positionerMeasurementView().panel,
                 content);
    return content;
}

ViewContent levelViews() {
    ViewContent content;
    collectLayout("level", views::panels::levelMenuView().layout, content);
    for (const auto& item : views::panels::levelMenuView().items) {
        const std::string where = "level menu \"" + std::string(item.key) + "\"";
        content.labels.emplace_back(where, std::string(item.key));
        if (item.panel) collectPanel(where, *item.panel, content);
    }
    collectPanel("level measurement", views::panels::levelMeasurementView().panel, content);
    collectPanel("address view", views::panels::addressView().panel, content);
    return content;
}

// Keys that select an attribute of the element's parameter, not a text.
bool isAttributeKey(std::string_view key) {
    static const std::set<std::string_view> attributes = {
        "ParaName", "ParaValue", "ParaDescription", "ParaMinRange", "ParaMaxRange", "ParaState"};
    return attributes.count(key) != 0;
}

// Numbers and percentages ("3", "3.5%") are shown as they are.
bool needsTranslation(std::string_view key) {
    for (char c : key) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    }
    return false;
}

// Collects the parameter ids and commands that a script names.
class ScriptReferences final : public engine::communication::ScriptTarget {
public:
    std::vector<std::int32_t> ids;
    std::vector<std::uint32_t> commands;

    std::string translatedString(const std::string& key) override { return key; }
    void startProgress(const std::string&) override {}
    void stopProgress() override {}
    void queueCommands(std::string_view element) override {
        for (const auto& command : engine::communication::parseCommandElement(element).commands)
            commands.push_back(command.number);
    }
    void setValue(engine::ParameterId id, const std::string&) override { ids.push_back(id); }
};

class PanelReferences : public ::testing::Test {
protected:
    void load(const Package& package) {
        directory_ = std::string(HARTDTM_SOURCE_ROOT) + "/devices/" + package.folder + "/";
        device_ = engine::loadDescriptionDocument(directory_ + package.description,
                                                  engine::kDeviceDescriptionNamespace);
        dtm_ = engine::loadDescriptionDocument(directory_ + package.dtmDescription,
                                               engine::kDtmDescriptionNamespace);
        engine::loadModel(model_, device_, dtm_);
        for (const auto& [key, entry] : model_.actions()) commands_.insert(key >> 24);
        ASSERT_TRUE(english_.load(directory_ + package.languageFile, "en"));
        ASSERT_TRUE(german_.load(directory_ + package.languageFile, "de"));
    }

    void expectTranslated(const std::string& where, std::string_view key) {
        if (key.empty() || isAttributeKey(key) || !needsTranslation(key)) return;
        EXPECT_TRUE(english_.contains(key))
            << where << ": key \"" << key << "\" has no English text";
        EXPECT_TRUE(german_.contains(key)) << where << ": key \"" << key << "\" has no German text";
    }

    void expectParameter(const std::string& where, std::int32_t id) {
        // 0 is no parameter (a button without enable id).
        if (id <= 0 || id >= kFirstUserParameter) return;
        EXPECT_NE(model_.find(id), nullptr)
            << where << ": parameter " << id << " is not in the description";
    }

    void expectScript(const std::string& where, std::string_view script) {
        ScriptReferences references;
        engine::communication::runActionScript(script, references);
        for (std::int32_t id : references.ids) expectParameter(where + " script", id);
        for (std::uint32_t command : references.commands) {
            EXPECT_TRUE(commands_.count(command) != 0)
                << where << ": command " << command << " of \"" << script
                << "\" is not in the description";
        }
    }

    void check(const ViewContent& content) {
        for (const auto& [where, key] : content.labels) expectTranslated(where, key);
        for (const Visit& visit : content.elements) {
            const ElementSpec& e = *visit.element;
            if (e.kind == ElementKind::Bitmap) {
                ASSERT_FALSE(e.key.empty()) << visit.where;
                EXPECT_TRUE(std::filesystem::exists(directory_ + std::string(e.key.substr(1))))
                    << visit.where << ": bitmap \"" << e.key << "\" is not in the package";
                continue;
            }
            expectTranslated(visit.where, e.key);
            expectParameter(visit.where, e.paramId);
            expectParameter(visit.where + " enable", e.enableId);
            for (std::int32_t id : e.paramIds) expectParameter(visit.where, id);
            expectScript(visit.where, e.script);
        }
    }

    std::string directory_;
    xml::Document device_;
    xml::Document dtm_;
    engine::DeviceObject model_;
    std::set<std::uint32_t> commands_;
    engine::LanguageTable english_;
    engine::LanguageTable german_;
};

TEST_F(PanelReferences, PositionerPanelsUseOnlyWhatThePositionerPackageOffers) {
    load({"positioner", "Ravik.zor", "Varnholt Ravik HART Device Description.xml",
          "Ravik_HART.dct"});
    check(positionerViews());
}

TEST_F(PanelReferences, LevelPanelsUseOnlyWhatTheLevelPackageOffers) {
    load({"level", "Lenmor.zor", "Varnholt Lenmor HART Device Description.xml", "Lenmor_HART.dct"});
    check(levelViews());
}

// The check itself finds faults: a wrong id, an unknown command and an
// untranslated key in a made-up panel are each reported.
TEST_F(PanelReferences, ReportsUnknownIdsCommandsAndKeys) {
    load({"level", "Lenmor.zor", "Varnholt Lenmor HART Device Description.xml", "Lenmor_HART.dct"});
    static constexpr ElementSpec bad[] = {
        {.kind = ElementKind::Button,
         .key = "NoSuchKey",
         .script = "setvalue[12345=1] upload[99]",
         .enableId = 77},
    };
    ViewContent content;
    collect("made-up", bad, content.elements);
    ::testing::TestPartResultArray failures;
    {
        ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        check(content);
    }
    std::string all;
    for (int i = 0; i < failures.size(); ++i) all += failures.GetTestPartResult(i).message();
    for (const char* expected : {"NoSuchKey", "12345", "command 99", "parameter 77"})
        EXPECT_NE(all.find(expected), std::string::npos) << expected << " not reported in:\n"
                                                         << all;
}

}  // namespace
