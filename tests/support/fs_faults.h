#pragma once

// Faults of the file system around a data directory, each with a way to
// bring it about and to take it away again: a full disk, read-only files and
// folders, files that are folders or named pipes, files that cannot be read.
// The storage tests meet them with the writes themselves, the program tests
// with the user's actions.

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "support/tmpfs.h"

namespace testing_support {

// Which writes a fault stops.
enum FaultedWrites { kEntryWrite = 1, kSettingsWrite = 2, kBothWrites = 3 };

struct FaultPlace
{
    Tmpfs& home;       // a tmpfs when the test runs as root
    std::string data;  // the data directory, with a trailing '/'
    std::string entryFile;
    std::string settingsFile;
};

struct Fault
{
    const char* name;
    FaultedWrites writes;
    // Brings the fault about; gives why it cannot be made here, or nothing.
    std::function<std::string(FaultPlace&)> make;
    std::function<void(FaultPlace&)> remove;
    bool withoutFilePrivileges = false;  // root's privilege would hide the fault
    // The running program meets it from its start on: the data directory is
    // chosen then.
    bool beforeStart = false;
};

// Names the fault in test listings, instead of its bytes.
inline void PrintTo(const Fault& fault, std::ostream* out)
{
    *out << fault.name;
}

inline void ChangeMode(const std::string& path, mode_t mode)
{
    ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
}

inline void MakeFifo(const std::string& path)
{
    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0) << path;
}

// Everything under a folder: each name with its kind and, for files, bytes.
inline std::map<std::string, std::string> Snapshot(const std::string& root)
{
    std::map<std::string, std::string> tree;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const auto status = std::filesystem::symlink_status(entry.path());
        std::string& what = tree[entry.path().string()];
        what = std::to_string(static_cast<int>(status.type())) + " " +
               std::to_string(static_cast<unsigned>(status.permissions()));
        if (status.type() == std::filesystem::file_type::regular)
            what += " " + ReadBytes(entry.path());
    }
    return tree;
}

inline const std::vector<Fault> kFileSystemFaults = {
    {"DiskFull", kBothWrites,
     [](FaultPlace& p) -> std::string {
         if (!p.home.mounted())
             return "a full disk needs a tmpfs of its own: " + p.home.why();
         // Fill the small file system up to its last byte.
         std::FILE* filler = std::fopen((p.home / "filler").c_str(), "wb");
         const std::string block(4096, 'f');
         while (std::fwrite(block.data(), 1, block.size(), filler) == block.size() && std::fflush(filler) == 0) {
         }
         std::fclose(filler);
         return {};
     },
     [](FaultPlace& p) { std::filesystem::remove(p.home / "filler"); }},
    {"ReadOnlyEntryFile", kEntryWrite,
     [](FaultPlace& p) -> std::string {
         ChangeMode(p.entryFile, 0444);
         return {};
     },
     [](FaultPlace& p) { ChangeMode(p.entryFile, 0644); }},
    {"ReadOnlySettingsFile", kSettingsWrite,
     [](FaultPlace& p) -> std::string {
         ChangeMode(p.settingsFile, 0444);
         return {};
     },
     [](FaultPlace& p) { ChangeMode(p.settingsFile, 0644); }},
    {"ReadOnlyDataDirectory", kBothWrites,
     [](FaultPlace& p) -> std::string {
         // Root writes into a folder of mode 0555, but not into a read-only
         // file system.
         if (p.home.mounted())
             return p.home.setReadOnly(true) ? std::string() : "remounting read-only failed";
         ChangeMode(p.data, 0555);
         if (::access(p.data.c_str(), W_OK) == 0)
             return "this user may write into read-only folders, and " + p.home.why();
         return {};
     },
     [](FaultPlace& p) {
         if (p.home.mounted())
             ASSERT_TRUE(p.home.setReadOnly(false));
         else
             ChangeMode(p.data, 0700);
     }},
    {"DataIsARegularFile", kBothWrites,
     [](FaultPlace& p) -> std::string {
         std::filesystem::remove_all(p.data);
         WriteBytes(p.data.substr(0, p.data.size() - 1), "not a folder");
         return {};
     },
     [](FaultPlace& p) {
         std::filesystem::remove(p.data.substr(0, p.data.size() - 1));
         std::filesystem::create_directory(p.data);
     },
     false, true},
    {"EntryFileIsADirectory", kEntryWrite,
     [](FaultPlace& p) -> std::string {
         std::filesystem::remove(p.entryFile);
         std::filesystem::create_directory(p.entryFile);
         WriteBytes(p.entryFile + "/inside", "kept");
         return {};
     },
     [](FaultPlace& p) { std::filesystem::remove_all(p.entryFile); }},
    {"SettingsFileIsADirectory", kSettingsWrite,
     [](FaultPlace& p) -> std::string {
         std::filesystem::remove(p.settingsFile);
         std::filesystem::create_directory(p.settingsFile);
         return {};
     },
     [](FaultPlace& p) { std::filesystem::remove_all(p.settingsFile); }},
    {"UnreadableSettingsFile", kSettingsWrite,
     [](FaultPlace& p) -> std::string {
         ChangeMode(p.settingsFile, 0000);
         return {};
     },
     [](FaultPlace& p) { ChangeMode(p.settingsFile, 0644); }, true},
    // A folder whose file could not be read shows empty: writing over the
    // file would lose what it holds, even where its mode allows the write.
    {"WritableButUnreadableEntryFile", kEntryWrite,
     [](FaultPlace& p) -> std::string {
         ChangeMode(p.entryFile, 0200);
         return {};
     },
     [](FaultPlace& p) { ChangeMode(p.entryFile, 0644); }, true},
    // Reading a named pipe would wait for a writer that never comes.
    {"FilesAreNamedPipes", kBothWrites,
     [](FaultPlace& p) -> std::string {
         MakeFifo(p.entryFile);
         MakeFifo(p.settingsFile);
         return {};
     },
     [](FaultPlace& p) {
         std::filesystem::remove(p.entryFile);
         std::filesystem::remove(p.settingsFile);
     }},
};

}  // namespace testing_support
