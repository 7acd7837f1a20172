#pragma once

#include <memory>

namespace ui {
class MainWindow;
}

namespace library {

class SingleInstance;

// One run of the program: its claim on the data directory and its main
// window, with every handler connected.
class Program final
{
public:
    // Claims the data directory and builds the main window, hidden. Null
    // when another copy already runs on the same data directory; that copy
    // has been asked to come to the front.
    static std::unique_ptr<Program> Create();
    // Writes what a failed write left due, then runs ReleasePaths.
    ~Program();

    // Raises the created event, which restores the folders, the current
    // folder's entries and the window size, and shows the window.
    void Start();

    ui::MainWindow& Window() { return *m_window; }

private:
    Program(std::unique_ptr<SingleInstance> instance);

    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<ui::MainWindow> m_window;
};

// The program entry: runs until the main window has closed, and gives 0.
int RunProgram(int argc, char** argv);

// Connects the handler of every event of the main window and its controls.
void ConnectHandlers(ui::MainWindow& window);

// The created event: computes the paths, restores the folder tabs, lists
// the first folder's entries, and gives the window its stored size.
void RestoreOnStart(ui::MainWindow& window);

// Applies the stored window size; a stored width that reads back below 500
// gives 700 x 400.
void RestoreWindowSize(ui::MainWindow& window);

// Fills the entry list from the current folder's entry file. When the save
// of the folder the list showed until now had failed, its rows are written
// once more first: the fault may be gone.
void LoadFolder(ui::MainWindow& window);

// Forgets the settings path and the data path, at the end of the program.
void ReleasePaths();

}  // namespace library
