#include "ui/geometry.h"

#include <QWidget>

#include <algorithm>

namespace ui {

int ClampPosition(int value)
{
    return std::clamp(value, -kMaxExtent, kMaxExtent);
}

int ClampExtent(int value)
{
    return std::clamp(value, 0, kMaxExtent);
}

int ControlLeft(const QWidget& control)
{
    return control.geometry().x();
}

int ControlTop(const QWidget& control)
{
    return control.geometry().y();
}

int ControlWidth(const QWidget& control)
{
    return control.geometry().width();
}

int ControlHeight(const QWidget& control)
{
    return control.geometry().height();
}

void SetControlLeft(QWidget& control, int left)
{
    control.move(ClampPosition(left), control.y());
}

void SetControlTop(QWidget& control, int top)
{
    control.move(control.x(), ClampPosition(top));
}

void SetControlWidth(QWidget& control, int width)
{
    control.resize(ClampExtent(width), control.height());
}

void SetControlHeight(QWidget& control, int height)
{
    control.resize(control.width(), ClampExtent(height));
}

}  // namespace ui
