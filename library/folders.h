#pragma once

namespace ui {
class MainWindow;
class RenameWindow;
}

namespace library {

// The right-press event of the folder tabs: pops the folder menu up. The
// press then goes on to the tabs, which do nothing with it.
void ShowFolderMenu(ui::MainWindow& window);

// "增加子夹": appends a folder without a name at the right end and writes
// the new folder count. The current folder and its entries stay as they are.
void AddFolder(ui::MainWindow& window);

// "重命名子夹": opens the rename window and waits until it is gone; by then
// ApplyRename has put its text on the current tab. Then writes the current
// folder's name key. Always the current folder, whichever header was pressed.
void RenameFolder(ui::MainWindow& window);

// The rename window's will-be-destroyed event: its text, unchanged, becomes
// the current tab's title.
void ApplyRename(ui::MainWindow& window, const ui::RenameWindow& renameWindow);

}  // namespace library
