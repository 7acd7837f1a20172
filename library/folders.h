#pragma once

namespace ui {
class MainWindow;
}

namespace library {

// The right-press event of the folder tabs: pops the folder menu up. The
// press then goes on to the tabs, which do nothing with it.
void ShowFolderMenu(ui::MainWindow& window);

}  // namespace library
