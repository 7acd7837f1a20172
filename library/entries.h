#pragma once

namespace ui {
class MainWindow;
}

namespace library {

// The right-press event of the entry list: pops the entry menu up. The
// press then goes on to the list, which selects the row under the pointer
// before the chosen command runs.
void ShowEntryMenu(ui::MainWindow& window);

}  // namespace library
