// Checks of the DTM description "Varnholt Ravik HART Device Description.xml":
// the identity the frame sees agrees with the device description, and the
// menu offers the views and entries the frame and the view module expect.

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <set>

#include "tests/devices/positioner/package.h"

namespace devices_test {
namespace {

const Package& pkg() {
    return Package::get();
}
const XmlFile& dtm() {
    return pkg().dtm;
}

TEST(PositionerDtmDescription, Loads) {
    ASSERT_EQ(dtm().error(), "");
    EXPECT_EQ(dtm().select("//user:DTMVersion").size(), 1u);
    EXPECT_GE(dtm().select("//user:DeviceVersion").size(), 1u);
}

TEST(PositionerDtmDescription, VersionNameIsAValidInitialTag) {
    std::string name = attributeOr(dtm().first("//user:DTMVersion"), "name");
    ASSERT_FALSE(name.empty());
    EXPECT_LE(name.size(), 8u) << "the tag travels as 6 bytes of packed ASCII";
    for (unsigned char c : name) {
        EXPECT_TRUE(std::isupper(c) || std::isdigit(c) || c == '-' || c == '_' || c == ' ') << name;
    }
    for (const char* a : {"vendor", "version", "date", "descriptor"}) {
        EXPECT_FALSE(attributeOr(dtm().first("//user:DTMVersion"), a).empty()) << a;
    }
}

TEST(PositionerDtmDescription, DeviceVersionMatchesTheIdentification) {
    const struct {
        const char* attribute;
        int64_t id;
    } pairs[] = {{"manufacturer_id", 2024606965},
                 {"device_type", 965867385},
                 {"universal_revision", 438775785},
                 {"device_revision", 1340043404},
                 {"software_revision", 1931717749}};
    for (xmlNodePtr version : dtm().select("//user:DeviceVersion")) {
        for (auto& pair : pairs) {
            const Parameter* p = pkg().find(pair.id);
            ASSERT_NE(p, nullptr);
            EXPECT_EQ(attributeOr(version, pair.attribute), p->constant("default"))
                << pair.attribute;
        }
        for (const char* a : {"name", "vendor", "version", "date", "descriptor"}) {
            EXPECT_FALSE(attributeOr(version, a).empty()) << a;
        }
    }
}

TEST(PositionerDtmDescription, DeviceViewNamesTheViewControl) {
    EXPECT_EQ(attributeOr(dtm().first("//user:DeviceView"), "activex_prog_id"),
              "ZorDTMView.ZorBasicDTMView.7");
}

xmlNodePtr menuWithFunction(int id) {
    return dtm().first("//user:Menu[user:Function/@id='" + std::to_string(id) +
                       "' and not(user:Function/user:AppId)]");
}

TEST(PositionerDtmDescription, OffersTheMenuAndTheMeasurementView) {
    for (int id : {1, 2}) {
        xmlNodePtr menu = menuWithFunction(id);
        ASSERT_NE(menu, nullptr) << "function " << id;
        EXPECT_EQ(attributeOr(menu, "hasGUI"), "true") << "function " << id;
        EXPECT_FALSE(attributeOr(menu, "label").empty());
        EXPECT_NE(xmlHasNsProp(menu, BAD_CAST "ApplicationId",
                               BAD_CAST "x-schema:FDTApplicationIdSchema.xml"),
                  nullptr)
            << "function " << id << " has no FDT application id";
    }
    EXPECT_EQ(attributeOr(menuWithFunction(2), "req_online"), "true");
}

TEST(PositionerDtmDescription, FunctionIdsSelectAView) {
    // Function ids above 1000 or at most 0 get no user interface from the engine;
    // the view module builds positioner views for 1 and 2 only.
    for (xmlNodePtr f : dtm().select("//user:Function")) {
        std::string id = attributeOr(f, "id");
        EXPECT_TRUE(id == "1" || id == "2") << id;
    }
}

TEST(PositionerDtmDescription, HasEveryKindOfMenuEntry) {
    EXPECT_NE(dtm().first("//user:Menu[@separator='true']"), nullptr);
    EXPECT_NE(dtm().first("//user:Menu[@req_online='true']"), nullptr);
    EXPECT_NE(dtm().first("//user:Menu[user:Function/user:AppId/@id]"), nullptr)
        << "a standard function";
    EXPECT_NE(dtm().first("//user:Menu[user:Childs]"), nullptr) << "a submenu";
    EXPECT_NE(dtm().first("//user:Document"), nullptr);
}

TEST(PositionerDtmDescription, MenusAreNotNested) {
    // Every user:Menu is visited from the document root, so one inside another would appear twice.
    EXPECT_TRUE(dtm().select("//user:Menu//user:Menu").empty());
}

TEST(PositionerDtmDescription, DocumentsShipWithThePackage) {
    for (xmlNodePtr doc : dtm().select("//user:Document")) {
        std::string file = attributeOr(doc, "path");
        ASSERT_FALSE(file.empty());
        std::ifstream in(pkg().path(file));
        EXPECT_TRUE(in.good()) << file;
        EXPECT_FALSE(attributeOr(doc, "mimetype").empty()) << file;
    }
}

}  // namespace
}  // namespace devices_test
