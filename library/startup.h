#pragma once

namespace library {

// Starts the program: builds and shows the main window, runs the event loop
// until it closes, and gives the exit code.
int RunProgram(int argc, char** argv);

}  // namespace library
