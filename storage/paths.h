#pragma once

#include <string>
#include <string_view>

namespace storage {

// A Windows path cut before its last backslash, found character by
// character in code page 936 so that a 0x5C trail byte is never taken for
// one. No backslash gives the empty text.
std::string CutAtLastBackslash(std::string_view path);

// The folder of the running executable, without a trailing '/'.
std::string ProgramDirectory();

// Where the data lives. A folder DATA beside the executable wins (the
// portable layout); otherwise DATA in the per-user data location
// ($XDG_DATA_HOME/tovrimo, by default ~/.local/share/tovrimo). Ends with '/'.
// Only looks: creates nothing and reports nothing.
std::string DataDirectoryFor(const std::string& programDirectory);

// Makes the per-user data directory and the folders above it that are
// missing, each with mode 0700. Gives the error that stopped it, or 0;
// reports nothing.
int MakeDataDirectory(const std::string& dataDirectory);

// The data directory, the per-user folder made on first use (one line on
// standard error when it cannot be made).
std::string ChooseDataDirectory(const std::string& programDirectory);

// Computes the settings path and the data path once for the run.
void InitPaths();
// Forgets both paths; they read as empty afterwards.
void ReleasePaths();

// Full path of the settings file, DATA/peizhi.ini; empty before InitPaths.
const std::string& SettingsPath();
// Full path of the data directory with a trailing '/'; empty before InitPaths.
const std::string& DataPath();

}  // namespace storage
