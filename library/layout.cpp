#include "library/layout.h"

#include "library/unwritten.h"
#include "ui/layout.h"
#include "ui/mainwindow.h"

namespace library {

// Lays the six controls out for the window's outer size. Only the controls
// are written, never the window, so this raises no event of its own.
void ApplyLayout(ui::MainWindow& window)
{
    ui::LayOutControls(window, window.Width(), window.Height());
}

// Stores the outer size now in effect, width first, whether or not it
// changed. A window drag runs this at every step; the settings file is
// rewritten only when its bytes change.
void SaveWindowSize(ui::MainWindow& window)
{
    SaveSettings(window, {{SettingKey::Kind::WindowWidth}, {SettingKey::Kind::WindowHeight}});
}

}  // namespace library
