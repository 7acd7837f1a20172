#include "ui/layout.h"

#include <QPushButton>
#include <QWidget>

#include <algorithm>
#include <limits>

#include "ui/contentbox.h"
#include "ui/entrylist.h"
#include "ui/foldertabs.h"
#include "ui/geometry.h"
#include "ui/mainwindow.h"
#include "ui/promotionlabel.h"

namespace ui {

namespace {

// Truncates toward zero a value computed in double precision. Out of the
// range of int it gives the nearest end; every write clamps further.
int Trunc(double value)
{
    return static_cast<int>(std::clamp(value, static_cast<double>(std::numeric_limits<int>::min()),
                                       static_cast<double>(std::numeric_limits<int>::max())));
}

// The fifteen writes of the layout, in order. Each step reads what it needs
// from `c` at that moment, so it sees the values that earlier steps
// left there as they were applied. `Controls` reads and writes one value of
// one control: Left, Top, Width, Height and SetLeft, SetTop, SetWidth,
// SetHeight, each taking a Control.
//
// Integer operands are converted to double, every intermediate result is a
// double, and only the final value is truncated: 600 x 0.98 gives exactly
// 588.0 in double, so a 600-wide folder tabs give a 588-wide entry list.
template <class Controls>
void LayOut(Controls& c, int width, int height)
{
    using enum Control;
    const double w = width;
    const double h = height;
    const auto d = [](int value) { return static_cast<double>(value); };

    // The folder tabs fill the left three quarters, with a small margin.
    c.SetTop(FolderTabs, Trunc(h * 0.01));
    c.SetLeft(FolderTabs, Trunc(w * 0.01));
    c.SetHeight(FolderTabs, Trunc(h * 0.93));
    c.SetWidth(FolderTabs, Trunc(w * 0.75));
    // The entry list lies over their page area.
    c.SetHeight(EntryList, Trunc(d(c.Height(FolderTabs)) - 50));
    c.SetWidth(EntryList, Trunc(d(c.Width(FolderTabs)) * 0.98));
    // The column on the right: the content box, the two buttons above it
    // and the promotion label at the top.
    c.SetLeft(ContentBox, Trunc(d(c.Left(FolderTabs)) + d(c.Width(FolderTabs)) + 10));
    c.SetWidth(ContentBox, Trunc(w - d(c.Left(ContentBox)) - 25));
    c.SetHeight(ContentBox, Trunc(h - d(c.Top(ContentBox)) - 40));
    c.SetLeft(AddButton, c.Left(ContentBox));
    c.SetWidth(AddButton, Trunc((w - d(c.Left(AddButton))) / 4));
    c.SetLeft(ModifyButton, Trunc(d(c.Left(AddButton)) + d(c.Width(AddButton)) + 10));
    c.SetWidth(ModifyButton, c.Width(AddButton));
    c.SetTop(ModifyButton, c.Top(AddButton));
    c.SetLeft(PromotionLabel, c.Left(AddButton));
}

// Geometry held as plain values, clamped as the controls clamp it.
class Values
{
public:
    explicit Values(const ControlGeometry& start) : m_geometry(start) {}

    int Left(Control c) const { return m_geometry[c].x(); }
    int Top(Control c) const { return m_geometry[c].y(); }
    int Width(Control c) const { return m_geometry[c].width(); }
    int Height(Control c) const { return m_geometry[c].height(); }
    void SetLeft(Control c, int v) { m_geometry[c].moveLeft(ClampPosition(v)); }
    void SetTop(Control c, int v) { m_geometry[c].moveTop(ClampPosition(v)); }
    void SetWidth(Control c, int v) { m_geometry[c].setWidth(ClampExtent(v)); }
    void SetHeight(Control c, int v) { m_geometry[c].setHeight(ClampExtent(v)); }

    const ControlGeometry& Geometry() const { return m_geometry; }

private:
    ControlGeometry m_geometry;
};

// The main window's controls themselves: every read gives the value as the
// control applied it.
class Widgets
{
public:
    explicit Widgets(MainWindow& window)
        : m_controls{&window.entryList(), &window.promotionLabel(), &window.modifyButton(),
                     &window.contentBox(), &window.addButton(),     &window.folderTabs()}
    {
    }

    int Left(Control c) const { return ControlLeft(At(c)); }
    int Top(Control c) const { return ControlTop(At(c)); }
    int Width(Control c) const { return ControlWidth(At(c)); }
    int Height(Control c) const { return ControlHeight(At(c)); }
    void SetLeft(Control c, int v) { SetControlLeft(At(c), v); }
    void SetTop(Control c, int v) { SetControlTop(At(c), v); }
    void SetWidth(Control c, int v) { SetControlWidth(At(c), v); }
    void SetHeight(Control c, int v) { SetControlHeight(At(c), v); }

private:
    QWidget& At(Control c) const { return *m_controls[static_cast<std::size_t>(c)]; }

    std::array<QWidget*, 6> m_controls;
};

}  // namespace

ControlGeometry DesignGeometry()
{
    ControlGeometry design;
    design[Control::EntryList] = {16, 40, 808, 560};
    design[Control::PromotionLabel] = {848, 8, 176, 24};
    design[Control::ModifyButton] = {920, 32, 72, 32};
    design[Control::ContentBox] = {840, 72, 184, 416};
    design[Control::AddButton] = {840, 32, 72, 32};
    design[Control::FolderTabs] = {8, 8, 824, 600};
    return design;
}

ControlGeometry ProportionalLayout(int width, int height)
{
    Values values(DesignGeometry());
    LayOut(values, width, height);
    return values.Geometry();
}

void LayOutControls(MainWindow& window, int width, int height)
{
    Widgets widgets(window);
    LayOut(widgets, width, height);
}

}  // namespace ui
