// Every device package loads through the engine's own loader and language
// table, and every parameter answers its texts.

#include <gtest/gtest.h>

#include <string>

#include "engine/description/description_document.h"
#include "engine/description/description_namespaces.h"
#include "engine/dtm/language_table.h"
#include "engine/parameters/device_object.h"
#include "engine/parameters/model_loader.h"
#include "engine/parameters/value_parameter.h"

namespace {

struct Package {
    const char* folder;
    const char* description;
    const char* dtmDescription;
    const char* languageFile;
    const char* initialTag;
    std::size_t minimumParameters;
};

class PackageLoad : public ::testing::TestWithParam<Package> {
protected:
    std::string path(const char* file) const {
        return std::string(HARTDTM_SOURCE_ROOT) + "/devices/" + GetParam().folder + "/" + file;
    }
};

TEST_P(PackageLoad, ModelBuildsAndEveryParameterAnswersItsTexts) {
    const Package& package = GetParam();
    xml::Document device = engine::loadDescriptionDocument(path(package.description),
                                                           engine::kDeviceDescriptionNamespace);
    xml::Document dtm = engine::loadDescriptionDocument(path(package.dtmDescription), engine::kDtmDescriptionNamespace);
    engine::DeviceObject model;
    ASSERT_NO_THROW(engine::loadModel(model, device, dtm));
    EXPECT_EQ(model.tag(), package.initialTag);
    EXPECT_GE(model.idList().size(), package.minimumParameters);
    EXPECT_FALSE(model.actions().empty()) << "the package's commands are in the action map";
    for (engine::ParameterId id : model.idList()) {
        engine::ValueParameter* p = model.find(id);
        ASSERT_NE(p, nullptr) << id;
        EXPECT_NO_THROW({
            p->getValueText(engine::kDisplayMode);
            p->getRange();
            p->getUnit();
            p->getScaling();
            p->getDescription();
        }) << id;
        EXPECT_EQ(p->isOutOfRange(), 0) << "default of " << id << " lies outside its range";
        if (!p->node().isNull()) {
            EXPECT_NE(p->getLabel(), "unkown") << "parameter " << id << " has neither label nor name";
        }
    }
}

TEST_P(PackageLoad, LanguageFileHasBothLanguagesForTheName) {
    for (const char* code : {"en", "de"}) {
        engine::LanguageTable table;
        ASSERT_TRUE(table.load(path(GetParam().languageFile), code));
        EXPECT_GT(table.size(), 100u) << code;
        EXPECT_TRUE(table.contains("DTM_Name")) << code;
    }
    engine::LanguageTable english, german;
    english.load(path(GetParam().languageFile), "en");
    german.load(path(GetParam().languageFile), "de");
    EXPECT_NE(english.translate("DTM_Name"), german.translate("DTM_Name")) << "both languages are read";
}

INSTANTIATE_TEST_SUITE_P(
    EngineLoader, PackageLoad,
    ::testing::Values(Package{"positioner", "Ravik.zor", "Varnholt Ravik HART Device Description.xml",
                              "Ravik_HART.dct", "RAVIK", 200},
                      Package{"level", "Lenmor.zor", "Varnholt Lenmor HART Device Description.xml", "Lenmor_HART.dct",
                              "Lenmor", 100},
                      Package{"universal", "Universal.zor", "Universal HART Device Description.xml",
                              "Universal_HART.dct", "Universal", 100}),
    [](const auto& caseInfo) { return std::string(caseInfo.param.folder); });

}  // namespace
