#include "storage/paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace {

TEST(CutAtLastBackslash, StepsByCodePage936Characters)
{
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\Tovrimo\\tovrimo.exe", "C:\\Tovrimo"},
        {"C:\\tovrimo.exe", "C:"},
        {"tovrimo.exe", ""},
        {"", ""},
        // 0x95 0x5C is one character; the cut is at the real backslash.
        {"C:\\\xB1\xED\x95\x5C\\tovrimo.exe", "C:\\\xB1\xED\x95\x5C"},
        {"C:\\dir\x95\x5Ctovrimo.exe", "C:"},
    };
    for (const auto& [path, directory] : cases)
        EXPECT_EQ(storage::CutAtLastBackslash(path), directory) << path;
}

TEST(ProgramDirectory, IsTheFolderOfTheRunningExecutable)
{
    EXPECT_EQ(storage::ProgramDirectory(), std::filesystem::read_symlink("/proc/self/exe").parent_path().string());
}

class DataDirectoryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::setenv("HOME", (root / "home").c_str(), 1);
        ::unsetenv("XDG_DATA_HOME");
        std::filesystem::create_directories(root / "program");
    }

    testing_support::TempDir root;
};

TEST_F(DataDirectoryTest, ADataFolderBesideTheProgramWins)
{
    std::filesystem::create_directory(root / "program/DATA");
    ::setenv("XDG_DATA_HOME", (root / "xdg").c_str(), 1);
    EXPECT_EQ(storage::ChooseDataDirectory(root / "program"), root / "program/DATA/");
    EXPECT_FALSE(std::filesystem::exists(root / "xdg"));
}

TEST_F(DataDirectoryTest, OtherwiseThePerUserLocationIsCreatedPrivate)
{
    EXPECT_EQ(storage::ChooseDataDirectory(root / "program"), root / "home/.local/share/tovrimo/DATA/");
    struct stat st {};
    ASSERT_EQ(::stat((root / "home/.local/share/tovrimo/DATA").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    ::setenv("XDG_DATA_HOME", (root / "xdg").c_str(), 1);
    EXPECT_EQ(storage::ChooseDataDirectory(root / "program"), root / "xdg/tovrimo/DATA/");
    EXPECT_TRUE(std::filesystem::is_directory(root / "xdg/tovrimo/DATA"));

    // A relative XDG_DATA_HOME is not valid and is ignored.
    ::setenv("XDG_DATA_HOME", "relative/place", 1);
    EXPECT_EQ(storage::ChooseDataDirectory(root / "program"), root / "home/.local/share/tovrimo/DATA/");
}

TEST_F(DataDirectoryTest, AFileInTheWayLeavesAMissingDataDirectory)
{
    std::filesystem::create_directories(root / "xdg/tovrimo");
    testing_support::WriteBytes(root / "xdg/tovrimo/DATA", "not a folder");
    ::setenv("XDG_DATA_HOME", (root / "xdg").c_str(), 1);
    EXPECT_EQ(storage::ChooseDataDirectory(root / "program"), root / "xdg/tovrimo/DATA/");
    EXPECT_TRUE(std::filesystem::is_regular_file(root / "xdg/tovrimo/DATA"));
}

TEST_F(DataDirectoryTest, InitPathsSetsBothPathsUntilReleased)
{
    ::setenv("XDG_DATA_HOME", (root / "xdg").c_str(), 1);
    storage::InitPaths();
    EXPECT_EQ(storage::DataPath(), root / "xdg/tovrimo/DATA/");
    EXPECT_EQ(storage::SettingsPath(), root / "xdg/tovrimo/DATA/peizhi.ini");
    storage::ReleasePaths();
    EXPECT_EQ(storage::DataPath(), "");
    EXPECT_EQ(storage::SettingsPath(), "");
}

}  // namespace
