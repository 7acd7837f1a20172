#pragma once

#include <initializer_list>

namespace ui {
class MainWindow;
}

namespace library {

// A write that fails leaves the user's change in the controls only: the
// list still shows the added entry, the tab the new name. What is kept here
// is only where such a change is waiting, never a copy of it; the next
// chance to write takes it from the controls as they are then.

// A key of the settings file that the program writes. Its value is read from
// the controls at the moment it is written.
struct SettingKey
{
    enum class Kind
    {
        FolderCount,   // the number of tabs
        FolderName,    // the title of tab `folder`
        WindowWidth,   // the main window's outer width
        WindowHeight,  // and height
    };
    Kind kind;
    int folder = 0;
};

// Writes the keys in order, and first every key whose earlier write failed.
// A key that cannot be written stays due, and so do those after it; the
// next call tries them again, so that one failed action costs one line on
// standard error.
void SaveSettings(ui::MainWindow& window, std::initializer_list<SettingKey> keys);

// Writes every row of the entry list as the entry file of `folder`, the
// folder the list shows. When that fails the folder stays due: it is
// written once more before the list is filled with another folder, and at
// the end of the program. A folder whose file could not be read when the
// list was filled is never written while the list shows it: that would
// throw away the entries the file holds.
void SaveRowsOf(ui::MainWindow& window, int folder);

// The list now shows `folder`; unreadable when its file is there but could
// not be read.
void NoteFolderShown(ui::MainWindow& window, int folder, bool unreadable);

// Writes the folder whose last save failed, while the list still shows its
// rows. Runs before the list is filled anew.
void WriteDueFolder(ui::MainWindow& window);

// Writes whatever is still due, the folder and the settings keys: a last
// chance at the end of the program, when the fault may be gone.
void WriteEverythingDue(ui::MainWindow& window);

}  // namespace library
