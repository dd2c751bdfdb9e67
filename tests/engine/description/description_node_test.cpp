#include "engine/description/description_node.h"

#include <gtest/gtest.h>

#include "engine/description/description_document.h"
#include "engine/description/description_namespaces.h"

namespace engine::description {
namespace {

class DescriptionNode : public ::testing::Test {
protected:
    void SetUp() override {
        document.loadXML(R"(<parameter xmlns="http://hartdtm.invalid/device_description"
                                       xmlns:o="urn:other" reference_id="77x">
          <restriction><default/></restriction>
          <restriction>
            <o:range><constant>foreign</constant></o:range>
            <range><pointer/></range>
            <default><constant>second</constant></default>
          </restriction>
          <restriction><default><constant>third</constant></default></restriction>
          <access readable="false"/><access readable="true"/>
        </parameter>)");
        bindDescriptionPrefix(document, kDeviceDescriptionNamespace);
        parameter = document.documentElement();
    }
    xml::Document document;
    xml::Node parameter;
};

TEST_F(DescriptionNode, PathsAnswerTheFirstMatchInDocumentOrder) {
    EXPECT_EQ(restrictionConstant(parameter, "default").text(), "second");
    EXPECT_EQ(restrictionConstant(parameter, "default").text(),
              parameter.selectSingleNode("user:restriction/user:default/user:constant").text());
    EXPECT_FALSE(restrictionConstant(parameter, "range"));  // another namespace does not count
    EXPECT_FALSE(firstPath(xml::Node(), {"restriction"}));
    EXPECT_EQ(pathText(parameter, {"restriction", "default", "constant"}), "second");
    EXPECT_EQ(pathText(parameter, {"restriction", "unit"}), std::nullopt);
}

TEST_F(DescriptionNode, PointersFlagsAndIds) {
    EXPECT_EQ(restrictionPointer(parameter, "range"), 0);  // a pointer without an id
    EXPECT_EQ(restrictionPointer(parameter, "unit"), std::nullopt);
    EXPECT_TRUE(hasTrueFlag(parameter, "access", "readable"));
    EXPECT_FALSE(hasTrueFlag(parameter, "access", "writable"));
    EXPECT_EQ(referenceIdOf(parameter), 77);
    EXPECT_EQ(childElements(parameter, "restriction").size(), 3u);
}

}  // namespace
}  // namespace engine::description
