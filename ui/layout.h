#pragma once

#include <QRect>

#include <array>
#include <cstddef>

namespace ui {

class MainWindow;

// The six controls of the main window, in their design order.
enum class Control
{
    EntryList,
    PromotionLabel,
    ModifyButton,
    ContentBox,
    AddButton,
    FolderTabs,
};

// Where each control stands: left and top in the main window's client
// coordinates, width and height its outer size.
struct ControlGeometry
{
    std::array<QRect, 6> rects;

    QRect& operator[](Control control) { return rects[static_cast<std::size_t>(control)]; }
    const QRect& operator[](Control control) const { return rects[static_cast<std::size_t>(control)]; }
    bool operator==(const ControlGeometry&) const = default;
};

// The controls as the window is designed, for its design size 1043 x 666.
ControlGeometry DesignGeometry();

// The controls laid out in proportion to a main window whose outer frame is
// width x height, starting from the design geometry. The fifteen writes of
// the layout are made in a fixed order, each clamped as a control clamps it
// (sizes to 0 ... kMaxExtent, lefts and tops to -kMaxExtent ... kMaxExtent),
// and later ones use the values earlier ones left. Every formula runs in
// double precision and is truncated toward zero.
ControlGeometry ProportionalLayout(int width, int height);

// Makes the same fifteen writes to the window's controls, in the same
// order, each step reading the controls as they applied the earlier ones.
void LayOutControls(MainWindow& window, int width, int height);

}  // namespace ui
