// A writer process is killed with SIGKILL at random moments while it saves a
// folder and the settings file; every kill must leave each file whole, old
// or new, and the clean-up at start-up must remove the temporary files a
// kill left behind, and nothing else: neither files that only look like ours
// nor the one a running writer is working on.

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "storage/entries.h"
#include "storage/files.h"
#include "storage/ini.h"
#include "storage/paths.h"
#include "support/temp_dir.h"
#include "support/tmpfs.h"
#include "tools/crash_contents.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Starts the writer with its standard output on a pipe; gives its pid and
// the pipe's reading end.
pid_t StartWriter(int& readyFd)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    char* argv[] = {const_cast<char*>(TOVRIMO_CRASH_WRITER), nullptr};
    pid_t pid = -1;
    if (::posix_spawn(&pid, TOVRIMO_CRASH_WRITER, &actions, nullptr, argv, environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    readyFd = fds[0];
    return pid;
}

// Waits up to ten seconds for the writer's first round to end.
bool WaitUntilWriting(int readyFd)
{
    pollfd p{readyFd, POLLIN, 0};
    char byte;
    return ::poll(&p, 1, 10000) == 1 && ::read(readyFd, &byte, 1) == 1;
}

TEST(CrashSafety, KilledWritesLeaveOldOrNewFilesAndNoLeftovers)
{
    // A kill stops the process, not the machine: what the writer handed to
    // the kernel stays, flushed or not, so the file system does not change
    // what a kill leaves. A tmpfs, where a flush costs nothing, makes room for
    // many kills in little time; without one the test runs in a plain folder.
    testing_support::Tmpfs home(64 << 20);
    ::setenv("XDG_DATA_HOME", home.path().c_str(), 1);
    storage::InitPaths();
    const std::string data = storage::DataPath();

    const std::string entryFiles[] = {storage::JoinEntries(crashtest::Entries(false)),
                                      storage::JoinEntries(crashtest::Entries(true))};
    // The settings file holds more than the key being written; all of it
    // must survive.
    const std::string base = "; the user's note\r\n[" + std::string(storage::kSettingsSection) + "]\r\n" +
                             std::string(storage::kFolderCountKey) + "=2\r\n" +
                             storage::FolderNameKey(1) + "=\xB1\xF0\r\n";
    const std::string settingsFiles[] = {
        storage::IniSetValue(base, storage::kSettingsSection, crashtest::SettingKey(), crashtest::SettingValue(false)),
        storage::IniSetValue(base, storage::kSettingsSection, crashtest::SettingKey(), crashtest::SettingValue(true))};

    // Files the clean-up must leave alone, however much they look like ours.
    testing_support::WriteBytes(data + "notes.txt", "keep");
    testing_support::WriteBytes(data + ".0.txt.tovrimo-abc", "keep: suffix too short");
    testing_support::WriteBytes(data + "0.txt.tovrimo-ABCDEF", "keep: no leading dot");
    std::filesystem::create_directory(data + ".0.txt.tovrimo-DIRDIR");
    std::filesystem::create_symlink("notes.txt", data + ".0.txt.tovrimo-LNKLNK");
    const std::vector<std::string> expectedListing = [&] {
        std::vector<std::string> names = testing_support::ListFolder(data);
        names.push_back("0.txt");
        names.push_back("peizhi.ini");
        std::sort(names.begin(), names.end());
        return names;
    }();

    // One round of the writer's work, timed here, sets the span in which
    // kills fall.
    ASSERT_TRUE(storage::WriteEntryFile(0, crashtest::Entries(true)));
    testing_support::WriteBytes(storage::SettingsPath(), settingsFiles[1]);
    const auto roundStart = Clock::now();
    ASSERT_TRUE(storage::WriteEntryFile(0, crashtest::Entries(false)));
    ASSERT_TRUE(storage::WriteSetting(crashtest::SettingKey(), crashtest::SettingValue(false)));
    const auto round = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - roundStart);
    storage::ReleasePaths();

    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<long> delay(0, std::max<long>(3 * round.count(), 1000));
    constexpr int kKills = 400;
    int seen[2][2] = {};   // [file][version]
    int leftovers = 0;     // kills that left a temporary file
    for (int kill = 0; kill < kKills; ++kill) {
        int readyFd = -1;
        const pid_t pid = StartWriter(readyFd);
        ASSERT_GT(pid, 0);
        const bool writing = WaitUntilWriting(readyFd);
        if (writing) {
            std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
            // Every other time a second copy starts meanwhile: its clean-up
            // must not take the temporary file the writer is working on, or
            // the writer's rename fails and it stops by itself.
            if (kill % 2) {
                storage::RemoveLeftoverTemporaryFiles(data);
                std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
            }
        }
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ::close(readyFd);
        ASSERT_TRUE(writing) << "the writer did not start writing";
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL)
            << "the writer stopped by itself, status " << status;

        const std::string entries = testing_support::ReadBytes(data + "0.txt");
        const std::string settings = testing_support::ReadBytes(data + "peizhi.ini");
        const int entryVersion = entries == entryFiles[0] ? 0 : entries == entryFiles[1] ? 1 : -1;
        const int settingsVersion = settings == settingsFiles[0] ? 0 : settings == settingsFiles[1] ? 1 : -1;
        ASSERT_NE(entryVersion, -1) << "kill " << kill << ": a folder file of " << entries.size() << " bytes";
        ASSERT_NE(settingsVersion, -1) << "kill " << kill << ": a settings file of " << settings.size() << " bytes";
        ++seen[0][entryVersion];
        ++seen[1][settingsVersion];

        // The writer has one write going at a time: at most one leftover.
        std::vector<std::string> listing = testing_support::ListFolder(data);
        const auto ours = std::count_if(listing.begin(), listing.end(), [&](const std::string& name) {
            return storage::IsTemporaryFileName(name) && std::filesystem::is_regular_file(
                std::filesystem::symlink_status(data + name));
        });
        ASSERT_LE(ours, 1) << "kill " << kill;
        leftovers += static_cast<int>(ours);

        storage::RemoveLeftoverTemporaryFiles(data);
        ASSERT_EQ(testing_support::ListFolder(data), expectedListing) << "kill " << kill;
    }
    EXPECT_EQ(testing_support::ReadBytes(data + "notes.txt"), "keep");

    // Kills must have fallen on both versions of both files and in the middle
    // of writes, or the test proved little.
    EXPECT_GT(seen[0][0], 0);
    EXPECT_GT(seen[0][1], 0);
    EXPECT_GT(seen[1][0], 0);
    EXPECT_GT(seen[1][1], 0);
    EXPECT_GT(leftovers, 0);
    std::printf("%s: %d kills, one round of writes %lld us: folder file old/new %d/%d, settings file %d/%d, "
                "%d temporary files left and removed\n",
                home.mounted() ? "tmpfs" : "disk", kKills, static_cast<long long>(round.count()), seen[0][0], seen[0][1], seen[1][0], seen[1][1],
                leftovers);
}

}  // namespace
