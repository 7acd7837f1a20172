#pragma once

class QWidget;

namespace ui {

// A control's left and top are measured from the main window's client area,
// its width and height are its outer size. Every write takes effect at
// once and keeps the other three values.

// Widths and heights are limited to 0 … kMaxExtent, lefts and tops to
// -kMaxExtent … kMaxExtent.
inline constexpr int kMaxExtent = 32627;

int ControlLeft(const QWidget& control);
int ControlTop(const QWidget& control);
int ControlWidth(const QWidget& control);
int ControlHeight(const QWidget& control);
void SetControlLeft(QWidget& control, int left);
void SetControlTop(QWidget& control, int top);
void SetControlWidth(QWidget& control, int width);
void SetControlHeight(QWidget& control, int height);

int ClampPosition(int value);
int ClampExtent(int value);

}  // namespace ui
