#include "storage/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <map>

#include <gtest/gtest.h>

#include "storage/entries.h"
#include "storage/ini.h"
#include "storage/paths.h"
#include "storage/settings.h"
#include "support/file_privileges.h"
#include "support/fs_faults.h"
#include "support/stderr_capture.h"
#include "support/temp_dir.h"
#include "support/tmpfs.h"

namespace {

using testing_support::Fault;
using testing_support::FaultPlace;
using testing_support::kEntryWrite;
using testing_support::kSettingsWrite;
using testing_support::ListFolder;
using testing_support::Snapshot;
using testing_support::ReadBytes;
using testing_support::WriteBytes;

TEST(ReplaceFile, ReplacesWholeAndKeepsTheMode)
{
    testing_support::TempDir dir;
    const std::string path = dir / "0.txt";
    ASSERT_TRUE(storage::ReplaceFile(path, "first"));
    EXPECT_EQ(ReadBytes(path), "first");

    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(storage::ReplaceFile(path, "second, longer"));
    EXPECT_EQ(ReadBytes(path), "second, longer");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    ASSERT_TRUE(storage::ReplaceFile(path, ""));
    EXPECT_EQ(ReadBytes(path), "");
    EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"0.txt"});
}

TEST(ReplaceFile, ReplacesTheFileALinkPointsTo)
{
    testing_support::TempDir dir;
    WriteBytes(dir / "real.txt", "old");
    std::filesystem::create_symlink("real.txt", dir / "0.txt");
    ASSERT_TRUE(storage::ReplaceFile(dir / "0.txt", "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "0.txt"));
    EXPECT_EQ(ReadBytes(dir / "real.txt"), "new");
}

// Every way a write can fail leaves the old file whole and no temporary file.
TEST(ReplaceFile, FailuresKeepTheOldFile)
{
    {
        testing_support::TempDir dir;
        WriteBytes(dir / "0.txt", "old");
        ::chmod((dir / "0.txt").c_str(), 0444);
        EXPECT_FALSE(storage::ReplaceFile(dir / "0.txt", "new")) << "read-only file";
        EXPECT_EQ(ReadBytes(dir / "0.txt"), "old");
        EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"0.txt"});
    }
    {
        testing_support::TempDir dir;
        std::filesystem::create_directory(dir / "0.txt");
        EXPECT_FALSE(storage::ReplaceFile(dir / "0.txt", "new")) << "a directory in the way";
        EXPECT_TRUE(std::filesystem::is_directory(dir / "0.txt"));
        EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"0.txt"});
    }
    {
        testing_support::TempDir dir;
        EXPECT_FALSE(storage::ReplaceFile(dir / "missing/0.txt", "new")) << "no such folder";
        EXPECT_TRUE(ListFolder(dir.path()).empty());
    }
    {
        // The write is cut short, as on a full disk.
        testing_support::TempDir dir;
        WriteBytes(dir / "0.txt", "old");
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit saved {};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = 4096;
        ::setrlimit(RLIMIT_FSIZE, &limited);
        const bool written = storage::ReplaceFile(dir / "0.txt", std::string(100000, 'x'));
        ::setrlimit(RLIMIT_FSIZE, &saved);
        EXPECT_FALSE(written) << "write cut short";
        EXPECT_EQ(ReadBytes(dir / "0.txt"), "old");
        EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"0.txt"});
    }
}

TEST(ReplaceFile, ReadOnlyFolderKeepsTheOldFile)
{
    testing_support::TempDir dir;
    WriteBytes(dir / "0.txt", "old");
    ::chmod(dir.path().c_str(), 0555);
    if (::access(dir.path().c_str(), W_OK) == 0)
        GTEST_SKIP() << "this user may write into read-only folders (root)";
    EXPECT_FALSE(storage::ReplaceFile(dir / "0.txt", "new"));
    EXPECT_EQ(ReadBytes(dir / "0.txt"), "old");
    EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"0.txt"});
}

TEST(TemporaryFiles, OnlyOursAreRemoved)
{
    const std::pair<const char*, bool> names[] = {
        {".0.txt.tovrimo-Ab3dE9", true},     {".peizhi.ini.tovrimo-000000", true},
        {"0.txt", false},                    {".0.txt.tovrimo-Ab3dE", false},
        {"0.txt.tovrimo-Ab3dE9", false},     {".0.txt.tovrimo-Ab3dE!", false},
        {".0.txt.tovrimo-Ab3dE9x", false},   {".tovrimo-Ab3dE9", false},
    };
    testing_support::TempDir dir;
    std::vector<std::string> kept;
    for (const auto& [name, ours] : names) {
        EXPECT_EQ(storage::IsTemporaryFileName(name), ours) << name;
        WriteBytes(dir / name, "x");
        if (!ours)
            kept.push_back(name);
    }
    // A leftover of a file its owner may write but not read.
    WriteBytes(dir / ".1.txt.tovrimo-wwwwww", "x");
    ::chmod((dir / ".1.txt.tovrimo-wwwwww").c_str(), 0200);
    std::sort(kept.begin(), kept.end());
    {
        testing_support::WithoutFilePrivileges asAnyUser;
        storage::RemoveLeftoverTemporaryFiles(dir.path());
    }
    EXPECT_EQ(ListFolder(dir.path()), kept);
}

// Another running copy's write in progress holds a lock on its temporary
// file; the clean-up at start-up must not take the file from under it.
TEST(TemporaryFiles, AWriteInProgressIsLeftAlone)
{
    testing_support::TempDir dir;
    const std::string name = ".0.txt.tovrimo-Ab3dE9";
    WriteBytes(dir / name, "half written");
    const int fd = ::open((dir / name).c_str(), O_RDONLY);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    storage::RemoveLeftoverTemporaryFiles(dir.path());
    EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{name});
    ::close(fd);
    storage::RemoveLeftoverTemporaryFiles(dir.path());
    EXPECT_TRUE(ListFolder(dir.path()).empty());
}

// Faults of the file system met by the real writes of a folder and of the
// settings file. Under each fault a write fails: it returns false, writes
// one line on standard error and changes nothing on disk. Once the fault is
// gone, the next write writes everything out.

class StorageFaults : public ::testing::TestWithParam<Fault>
{
};

TEST_P(StorageFaults, FailedWritesChangeNothingAndTheNextWriteRecovers)
{
    const Fault& fault = GetParam();
    testing_support::Tmpfs home(1 << 20);
    ::setenv("XDG_DATA_HOME", home.path().c_str(), 1);
    storage::InitPaths();
    FaultPlace place{home, storage::DataPath(), storage::EntryFilePath(0), storage::SettingsPath()};

    const std::string nameKey = storage::FolderNameKey(0);
    const std::vector<std::string> oldEntries{"old", "\xC4\xDA"};
    std::vector<std::string> newEntries;
    for (int i = 0; i < 500; ++i)
        newEntries.push_back("new entry " + std::to_string(i) + std::string(40, 'n'));
    ASSERT_TRUE(storage::WriteEntryFile(0, oldEntries));
    ASSERT_TRUE(storage::WriteSettingNumber(storage::kFolderCountKey, 1));
    ASSERT_TRUE(storage::WriteSetting(nameKey, "old name"));

    if (const std::string why = fault.make(place); !why.empty()) {
        storage::ReleasePaths();
        GTEST_SKIP() << why;
    }
    const auto before = Snapshot(home.path());

    auto attempt = [&](const char* what, const std::function<bool()>& write) {
        testing_support::StderrCapture capture;
        bool written;
        {
            std::optional<testing_support::WithoutFilePrivileges> unprivileged;
            if (fault.withoutFilePrivileges)
                unprivileged.emplace();
            written = write();
        }
        const std::string said = capture.finish();
        EXPECT_FALSE(written) << what;
        EXPECT_EQ(testing_support::CountLines(said), 1) << what << " said: " << said;
    };
    if (fault.writes & kEntryWrite)
        attempt("folder", [&] { return storage::WriteEntryFile(0, newEntries); });
    if (fault.writes & kSettingsWrite)
        attempt("settings", [&] { return storage::WriteSetting(nameKey, "new name"); });
    EXPECT_EQ(Snapshot(home.path()), before) << "a failed write changed what is on disk";

    fault.remove(place);
    std::string settingsBefore;
    if (std::filesystem::is_regular_file(place.settingsFile))
        settingsBefore = ReadBytes(place.settingsFile);
    testing_support::StderrCapture capture;
    const bool entriesWritten = storage::WriteEntryFile(0, newEntries);
    const bool settingWritten = storage::WriteSetting(nameKey, "new name");
    EXPECT_EQ(capture.finish(), "");
    EXPECT_TRUE(entriesWritten);
    EXPECT_TRUE(settingWritten);
    EXPECT_EQ(ReadBytes(place.entryFile), storage::JoinEntries(newEntries));
    EXPECT_EQ(ReadBytes(place.settingsFile),
              storage::IniSetValue(settingsBefore, storage::kSettingsSection, nameKey, "new name"));
    EXPECT_EQ(ListFolder(place.data), (std::vector<std::string>{"0.txt", "peizhi.ini"}));
    storage::ReleasePaths();
}

INSTANTIATE_TEST_SUITE_P(Faults, StorageFaults, ::testing::ValuesIn(testing_support::kFileSystemFaults),
                         [](const ::testing::TestParamInfo<Fault>& info) { return std::string(info.param.name); });

}  // namespace
