#pragma once

namespace ui {
class MainWindow;
}

namespace library {

// The size-changed event: lays the controls out for the window's size.
void ApplyLayout(ui::MainWindow& window);

// The position-changed event: stores the window's size.
void SaveWindowSize(ui::MainWindow& window);

}  // namespace library
