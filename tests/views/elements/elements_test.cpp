// The elements with their widgets, offscreen, against the fake engine.

#include <gtest/gtest.h>

#include <QFocusEvent>
#include <QLabel>

#include "tests/views/support/view_test_support.h"
#include "views/elements/composite_elements.h"
#include "views/elements/display_elements.h"
#include "views/elements/edit_controls.h"
#include "views/elements/fault_list.h"
#include "views/elements/menu_tree.h"
#include "views/elements/module_icons.h"
#include "views/panels/panel_builder.h"

namespace {

using namespace views::elements;
using views_test::ElementBench;

void focus(QWidget* widget, QEvent::Type type) {
    QFocusEvent event(type, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(widget, &event);
}

TEST(TextElement, ValueScaledWithUnitAmpersandsAndVisibility) {
    ElementBench bench;
    bench.engine()[7] = {.value = "12.34", .name = "Signal & Co", .unit = "mA", .scaling = "0"};
    bench.engine().translations["mA"] = "milliamps";
    auto* value = bench.make<TextElement>({0, 0, 100, 20});
    value->create("ParaValue", 7, "%2.1f", false);
    auto* name = bench.make<TextElement>({0, 20, 100, 40});
    name->create("ParaName", 7, "&s", false);
    EXPECT_EQ(value->shownText(), "12.3 milliamps");
    EXPECT_EQ(name->shownText(), "Signal & Co");
    EXPECT_EQ(bench.engine().observerCount(7), 2u);

    bench.engine()[7].visible = false;
    bench.engine().change(7, "3");
    EXPECT_TRUE(value->outerWidget()->isHidden());
    bench.engine()[7].visible = true;
    bench.engine().change(7, "4");
    EXPECT_FALSE(value->outerWidget()->isHidden());
    EXPECT_EQ(value->shownText(), "4.0 milliamps");
}

TEST(Resize, AnchoredChildrenFollowTheirParent) {
    ElementBench bench;
    auto* moving = bench.make<TextElement>({300, 10, 380, 30}, views::panels::kFollowRight);
    moving->create("fixed", -1, "&s", false);
    bench.panel().resizeTo({500, 300});
    EXPECT_EQ(moving->outerWidget()->geometry(), QRect(400, 10, 80, 20));
    bench.panel().resizeTo({200, 100});
    EXPECT_EQ(moving->outerWidget()->geometry(), QRect(300, 10, 80, 20));
}

TEST(StateBox, TickedByTheConditionAndClickWrites) {
    ElementBench bench;
    bench.engine()[5] = {.value = "4"};
    auto* box = bench.make<StateBox>({0, 0, 100, 20});
    box->create("caption", 5, ">=5", "download[135]", true, false);
    EXPECT_FALSE(box->ticked());
    bench.engine().change(5, "5");
    EXPECT_TRUE(box->ticked());
    static_cast<QCheckBox*>(box->outerWidget())->click();
    EXPECT_TRUE(box->ticked());  // only the program ticks it
    EXPECT_EQ(bench.engine().writes, std::vector<std::string>{"5=0"});
    EXPECT_EQ(bench.engine().actions, std::vector<std::string>{"download[135]"});
}

TEST(FaultList, RowsSortedAndLabelled) {
    ElementBench bench;
    bench.engine()[1] = {.value = "0", .name = "Beta", .range = "[0=OK][1=Fault]"};
    bench.engine()[2] = {.value = "0", .name = "Alpha", .range = "[0=OK][1=Fault]"};
    bench.engine()[3] = {.value = "0", .name = "Gamma", .range = "[0=OK][1=Fault]"};
    const std::int32_t ids[] = {1, 2, 3};
    auto* list = bench.make<FaultList>({0, 0, 300, 200});
    list->create(ids);
    bench.clock().advance(std::chrono::milliseconds(1));  // one sort after a burst of changes
    EXPECT_EQ(list->rowTexts(), (std::vector<std::string>{"Alpha: OK", "Beta: OK", "Gamma: OK"}));
    bench.engine().change(3, "1");
    bench.engine().change(2, "0");
    bench.clock().advance(std::chrono::milliseconds(1));
    EXPECT_EQ(list->rowTexts(), (std::vector<std::string>{"Gamma: Fault", "Alpha: OK", "Beta: OK"}));
}

struct CommitCase {
    const char* scaling;
    const char* typed;
    std::vector<std::string> writes;
    bool outOfRange;
};

TEST(ValueField, CommitsScaledNumbersAndRefusesOthers) {
    const CommitCase cases[] = {
        {"0.01", "12.5", {"9=1250"}, false},
        {"1", "12.5", {"9=12.500000"}, false},
        {"1", "1.2.5", {}, true},
        {"1", "1-2", {}, true},
    };
    for (const CommitCase& c : cases) {
        ElementBench bench;
        bench.engine()[9] = {.value = "100", .unit = "%", .scaling = c.scaling};
        auto* field = bench.make<ValueField>({0, 0, 100, 20});
        field->create(9, "%2.1f", false, false);
        focus(field->edit(), QEvent::FocusIn);
        field->edit()->setText(c.typed);
        EXPECT_EQ(bench.engine().writes, c.writes) << c.typed;
        EXPECT_EQ(bench.engine()[9].outOfRange, c.outOfRange) << c.typed;
    }
}

TEST(ValueField, TypingIsNotOverwrittenAndLeavingShowsTheEngineValue) {
    ElementBench bench;
    bench.engine()[9] = {.value = "10", .unit = "%", .scaling = "1"};
    auto* field = bench.make<ValueField>({0, 0, 100, 20});
    field->create(9, "%2.1f", false, false);
    EXPECT_EQ(field->edit()->text(), "10.0 %");
    EXPECT_TRUE(bench.engine().writes.empty());  // the program's own text is no typing

    focus(field->edit(), QEvent::FocusIn);
    field->edit()->setText("abc");
    bench.engine().change(9, "11");
    EXPECT_EQ(field->edit()->text(), "abc");
    focus(field->edit(), QEvent::FocusOut);
    EXPECT_EQ(field->edit()->text(), "abc");  // out of range: the typed text stays
    bench.engine()[9].outOfRange = false;
    focus(field->edit(), QEvent::FocusIn);
    focus(field->edit(), QEvent::FocusOut);
    EXPECT_EQ(field->edit()->text(), "11.0 %");
}

TEST(EnumBox, KeyedTranslationFirstAndChoiceWritesTheNumber) {
    ElementBench bench;
    bench.engine()[4] = {.value = "2", .range = "[1,Open][2,Closed]"};
    bench.engine().translations["mode_ENUM_0x01"] = "Opened by key";
    bench.engine().translations["Closed"] = "Shut";
    auto* box = bench.make<EnumBox>({0, 0, 100, 20});
    box->create("mode", 4, "%s", false);
    ASSERT_EQ(box->box()->count(), 2);
    EXPECT_EQ(box->box()->itemText(0), "Opened by key");
    EXPECT_EQ(box->box()->itemText(1), "Shut");
    EXPECT_EQ(box->box()->currentIndex(), 1);
    box->chosen(0);
    EXPECT_EQ(bench.engine().writes, std::vector<std::string>{"4=1"});
}

TEST(ValueRow, ChangedMarkFollowsIsChanged) {
    ElementBench bench;
    bench.engine()[3] = {.value = "1", .name = "Row"};
    auto* row = bench.make<ValueRow>({0, 0, 200, 19});
    row->create("", 3, "%s", 50, false, false, true);
    ASSERT_NE(row->mark(), nullptr);
    EXPECT_EQ(row->mark()->shownIcon(), kIconUnchanged);
    bench.engine()[3].changed = true;
    bench.engine().notify(3);
    EXPECT_EQ(row->mark()->shownIcon(), kIconChanged);
}

TEST(ActionButton, EnabledByValidityAndHandsItsScript) {
    ElementBench bench;
    bench.engine()[20] = {.valid = false};
    auto* button = bench.make<ActionButton>({0, 0, 100, 25});
    button->create("Apply", "download[135]", 20);
    EXPECT_FALSE(button->button()->isEnabled());
    bench.engine()[20].valid = true;
    bench.engine().notify(20);
    ASSERT_TRUE(button->button()->isEnabled());
    button->button()->click();
    EXPECT_EQ(bench.engine().actions, std::vector<std::string>{"download[135]"});
}

TEST(BitmapElement, LooksNamesUpInTheBitmapDirectory) {
    EXPECT_EQ(bitmapPath("/opt/pkg/", "\\Ravik cpl.bmp"), "/opt/pkg/Ravik cpl.bmp");
    EXPECT_EQ(bitmapPath("", "\\Ravik cpl.bmp"), "/Ravik cpl.bmp");
    ElementBench bench;
    bench.context()->bitmapDirectory = std::string(HARTDTM_SOURCE_ROOT) + "/devices/positioner/";
    auto* found = bench.make<BitmapElement>({0, 0, 100, 100});
    found->create("\\Ravik cpl.bmp");
    EXPECT_TRUE(found->loaded());
    auto* missing = bench.make<BitmapElement>({0, 0, 100, 100});
    missing->create("\\none.bmp");
    EXPECT_FALSE(missing->loaded());
}

// A small menu view of its own: a guarded item, a folder, a reused panel.
constexpr views::panels::ElementSpec kBody[] = {
    {.kind = views::panels::ElementKind::Text, .rect = {10, 20, 200, 40}, .key = "ParaValue", .paramId = 1},
};
constexpr views::panels::PanelSpec kPanelA{"A", kBody, views::panels::PanelSlot::Root};
constexpr views::panels::PanelSpec kPanelB{"B", kBody, views::panels::PanelSlot::Historian};
constexpr views::panels::MenuItemSpec kItems[] = {
    {.level = 0, .key = "root", .panel = &kPanelA},
    {.level = 1, .key = "folder"},
    {.level = 2, .key = "guarded", .panel = &kPanelB, .guardId = 50},
    {.level = 1, .key = "again", .panel = &kPanelA, .reusesBuiltPanel = true},
};
constexpr views::panels::MenuViewSpec kMenu{
    {.panel = {0, 0, 670, 730}, .folderPanel = {0, 0, 650, 800}, .body = {0, 140, 670, 730},
     .bodyGroup = {0, 0, 670, 590}},
    kItems};

TEST(MenuTree, GuardsFoldersAndReusedPanels) {
    ElementBench bench;
    bench.engine()[1] = {.value = "x"};
    bench.engine()[50] = {.visible = false};
    bench.window().resize(923, 730);
    auto built = views::panels::buildMenuView(&bench.window(), kMenu, bench.context());
    ASSERT_NE(built.tree, nullptr);
    ASSERT_EQ(built.slots.size(), 2u);
    MenuTree& tree = *built.tree;
    EXPECT_EQ(tree.currentPanel(), built.slots[0].panel);
    EXPECT_EQ(tree.currentPanel()->outerWidget()->geometry(), QRect(252, 0, 670, 730));

    ASSERT_TRUE(tree.selectPath({"root", "folder", "guarded"}));
    EXPECT_EQ(tree.currentPanel(), tree.defaultPanel());
    EXPECT_FALSE(tree.defaultPanel()->outerWidget()->isHidden());
    EXPECT_TRUE(built.slots[0].panel->outerWidget()->isHidden());

    ASSERT_TRUE(tree.selectPath({"root", "again"}));
    EXPECT_EQ(tree.currentPanel(), built.slots[0].panel);
    EXPECT_TRUE(tree.defaultPanel()->outerWidget()->isHidden());

    std::string missing;
    EXPECT_FALSE(tree.selectPath({"root", "nothing"}, &missing));
    EXPECT_EQ(missing, "nothing");
    tree.destroy();
    EXPECT_EQ(bench.engine().observerCount(), 0u);
}

}  // namespace
