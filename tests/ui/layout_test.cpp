#include <gtest/gtest.h>

#include <ostream>

#include "ui/layout.h"

namespace {

using ui::Control;

// The values that the layout sets; everything else keeps its design value.
struct LayoutCase
{
    const char* name;
    int width, height;
    int tabsTop, tabsLeft, tabsHeight, tabsWidth;
    int listHeight, listWidth;
    int contentLeft, contentWidth, contentHeight;
    int addLeft, addWidth;
    int modifyLeft, modifyWidth, modifyTop;
    int labelLeft;
};

void PrintTo(const LayoutCase& c, std::ostream* os)
{
    *os << c.name << " (" << c.width << " x " << c.height << ")";
}

class ProportionalLayout : public ::testing::TestWithParam<LayoutCase>
{
};

TEST_P(ProportionalLayout, SetsTheFifteenValuesAndKeepsTheDesignOnes)
{
    const LayoutCase& c = GetParam();
    ui::ControlGeometry expected = ui::DesignGeometry();
    QRect& tabs = expected[Control::FolderTabs];
    tabs.moveTop(c.tabsTop);
    tabs.moveLeft(c.tabsLeft);
    tabs.setHeight(c.tabsHeight);
    tabs.setWidth(c.tabsWidth);
    expected[Control::EntryList].setHeight(c.listHeight);
    expected[Control::EntryList].setWidth(c.listWidth);
    QRect& content = expected[Control::ContentBox];
    content.moveLeft(c.contentLeft);
    content.setWidth(c.contentWidth);
    content.setHeight(c.contentHeight);
    expected[Control::AddButton].moveLeft(c.addLeft);
    expected[Control::AddButton].setWidth(c.addWidth);
    expected[Control::ModifyButton].moveLeft(c.modifyLeft);
    expected[Control::ModifyButton].setWidth(c.modifyWidth);
    expected[Control::ModifyButton].moveTop(c.modifyTop);
    expected[Control::PromotionLabel].moveLeft(c.labelLeft);

    const ui::ControlGeometry laidOut = ui::ProportionalLayout(c.width, c.height);
    const char* names[] = {"entry list", "promotion label", "Modify button",
                           "content box", "Add button", "folder tabs"};
    for (std::size_t i = 0; i < laidOut.rects.size(); ++i)
        EXPECT_EQ(laidOut.rects[i], expected.rects[i]) << names[i];
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ProportionalLayout,
    ::testing::Values(
        // The design size and the fallback size.
        LayoutCase{"Design", 1043, 666, 6, 10, 619, 782, 569, 766, 802, 216, 554, 802, 60, 872, 60, 32, 802},
        LayoutCase{"Fallback", 700, 400, 4, 7, 372, 525, 322, 514, 542, 133, 288, 542, 39, 591, 39, 32, 542},
        // 600 x 0.98 is 588.0 in double precision: 588, not 587.
        LayoutCase{"Width800", 800, 600, 6, 8, 558, 600, 508, 588, 618, 157, 488, 618, 45, 673, 45, 32, 618},
        // Every result is truncated, never rounded: 6.99, 10.99 and 807.52
        // give 6, 10 and 807.
        LayoutCase{"Truncates", 1099, 699, 6, 10, 650, 824, 600, 807, 844, 230, 587, 844, 63, 917, 63, 32, 844},
        // 100 - 72 - 40 = -12: the content box is 0 high.
        LayoutCase{"Height100", 700, 100, 1, 7, 93, 525, 43, 514, 542, 133, 0, 542, 39, 591, 39, 32, 542},
        // The entry list's 37 - 50 = -13 is applied as 0.
        LayoutCase{"Height40", 700, 40, 0, 7, 37, 525, 0, 514, 542, 133, 0, 542, 39, 591, 39, 32, 542},
        // The Add button's -2 is applied as 0, and the Modify button, placed
        // after it, reads that 0 back: 10 + 0 + 10.
        LayoutCase{"Empty", 0, 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, 10, 0, 20, 0, 32, 10}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
