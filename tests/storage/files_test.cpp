#include "storage/files.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

using testsupport::ListFolder;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

TEST(ReplaceFile, ReplacesWholeAndKeepsTheMode)
{
    testsupport::TempDir dir;
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
    testsupport::TempDir dir;
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
        testsupport::TempDir dir;
        WriteBytes(dir / "0.txt", "old");
        ::chmod((dir / "0.txt").c_str(), 0444);
        EXPECT_FALSE(storage::ReplaceFile(dir / "0.txt", "new")) << "read-only file";
        EXPECT_EQ(ReadBytes(dir / "0.txt"), "old");
        EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"0.txt"});
    }
    {
        testsupport::TempDir dir;
        std::filesystem::create_directory(dir / "0.txt");
        EXPECT_FALSE(storage::ReplaceFile(dir / "0.txt", "new")) << "a directory in the way";
        EXPECT_TRUE(std::filesystem::is_directory(dir / "0.txt"));
        EXPECT_EQ(ListFolder(dir.path()), std::vector<std::string>{"0.txt"});
    }
    {
        testsupport::TempDir dir;
        EXPECT_FALSE(storage::ReplaceFile(dir / "missing/0.txt", "new")) << "no such folder";
        EXPECT_TRUE(ListFolder(dir.path()).empty());
    }
    {
        // The write is cut short, as on a full disk.
        testsupport::TempDir dir;
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
    testsupport::TempDir dir;
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
    testsupport::TempDir dir;
    std::vector<std::string> kept;
    for (const auto& [name, ours] : names) {
        EXPECT_EQ(storage::IsTemporaryFileName(name), ours) << name;
        WriteBytes(dir / name, "x");
        if (!ours)
            kept.push_back(name);
    }
    std::sort(kept.begin(), kept.end());
    storage::RemoveLeftoverTemporaryFiles(dir.path());
    EXPECT_EQ(ListFolder(dir.path()), kept);
}

}  // namespace
