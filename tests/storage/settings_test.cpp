#include "storage/settings.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "storage/paths.h"
#include "support/temp_dir.h"
#include "support/texts.h"

namespace {

using namespace testing_support::texts;


class SettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::setenv("XDG_DATA_HOME", home.path().c_str(), 1);
        storage::InitPaths();
        settings = storage::SettingsPath();
    }
    void TearDown() override { storage::ReleasePaths(); }

    testing_support::TempDir home;
    std::string settings;
};

TEST_F(SettingsTest, FirstWriteCreatesTheFileWithItsSection)
{
    EXPECT_EQ(storage::ReadSetting(kCount), "");
    EXPECT_EQ(storage::ReadSettingNumber(kCount), 0);
    ASSERT_TRUE(storage::WriteSettingNumber(kCount, 2));
    EXPECT_EQ(testing_support::ReadBytes(settings), "[" + kSection + "]\r\n" + kCount + "=2\r\n");
    EXPECT_EQ(storage::ReadSettingNumber(kCount), 2);

    ASSERT_TRUE(storage::WriteSettingNumber(kWidth, 700));
    ASSERT_TRUE(storage::WriteSettingNumber(kHeight, 400));
    ASSERT_TRUE(storage::WriteSetting(storage::FolderNameKey(10), ""));
    EXPECT_EQ(testing_support::ReadBytes(settings), "[" + kSection + "]\r\n" + kCount + "=2\r\n" + kWidth +
                                                    "=700\r\n" + kHeight + "=400\r\n" +
                                                    "\xD7\xD3\xBC\xD0\xC3\xFB" "10=\r\n");
}

TEST_F(SettingsTest, EachReadSeesTheFileAsItIsNow)
{
    testing_support::WriteBytes(settings, "[" + kSection + "]\r\n" + kCount + "=3\r\n");
    EXPECT_EQ(storage::ReadSettingNumber(kCount), 3);
    // Another copy of the program, or the user, changes the file: same size,
    // other bytes.
    testing_support::WriteBytes(settings, "[" + kSection + "]\r\n" + kCount + "=4\r\n");
    EXPECT_EQ(storage::ReadSettingNumber(kCount), 4);
    std::filesystem::remove(settings);
    EXPECT_EQ(storage::ReadSetting(kCount), "");
}

TEST_F(SettingsTest, LongValuesReadBackCut)
{
    const std::string name(12000, 'n');
    ASSERT_TRUE(storage::WriteSetting(storage::FolderNameKey(0), name));
    EXPECT_EQ(storage::ReadSetting(storage::FolderNameKey(0)), name.substr(0, storage::kMaxSettingLength));
}

TEST_F(SettingsTest, AWriteThatChangesNothingLeavesTheFileAlone)
{
    ASSERT_TRUE(storage::WriteSettingNumber(kWidth, 800));
    struct stat before {};
    ASSERT_EQ(::stat(settings.c_str(), &before), 0);
    ASSERT_TRUE(storage::WriteSettingNumber(kWidth, 800));
    struct stat after {};
    ASSERT_EQ(::stat(settings.c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);  // a replace would bring a new inode
}

// Writes that change nothing are remembered, but only for the file's bytes
// as they were: a file changed behind the program's back is written again.
TEST_F(SettingsTest, AWriteThatChangedNothingBeforeStillWritesAChangedFile)
{
    const std::string section = "[" + kSection + "]\r\n";
    ASSERT_TRUE(storage::WriteSettingNumber(kWidth, 800));
    ASSERT_TRUE(storage::WriteSettingNumber(kHeight, 600));
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(storage::WriteSettingNumber(kWidth, 800));
        ASSERT_TRUE(storage::WriteSettingNumber(kHeight, 600));
    }
    // Same size, other bytes.
    testing_support::WriteBytes(settings, section + kWidth + "=900\r\n" + kHeight + "=600\r\n");
    ASSERT_TRUE(storage::WriteSettingNumber(kHeight, 600));
    ASSERT_TRUE(storage::WriteSettingNumber(kWidth, 800));
    EXPECT_EQ(testing_support::ReadBytes(settings), section + kWidth + "=800\r\n" + kHeight + "=600\r\n");
    // A key spelled otherwise in the file is still the same key.
    testing_support::WriteBytes(settings, section + kWidth + " = 800\r\n" + kHeight + "=600\r\n");
    ASSERT_TRUE(storage::WriteSettingNumber(kWidth, 800));
    EXPECT_EQ(testing_support::ReadBytes(settings), section + kWidth + "=800\r\n" + kHeight + "=600\r\n");
    ASSERT_TRUE(storage::WriteSettingNumber(kWidth, 801));
    EXPECT_EQ(storage::ReadSettingNumber(kWidth), 801);
}

TEST_F(SettingsTest, AnUnreadableFileIsNotReplaced)
{
    std::filesystem::create_directory(settings);
    EXPECT_EQ(storage::ReadSetting(kCount), "");
    EXPECT_FALSE(storage::WriteSettingNumber(kCount, 2));
    EXPECT_TRUE(std::filesystem::is_directory(settings));
}

TEST_F(SettingsTest, WithoutTheDataDirectoryNothingIsWritten)
{
    std::filesystem::remove_all(storage::DataPath());
    EXPECT_FALSE(storage::WriteSettingNumber(kCount, 2));
    EXPECT_FALSE(std::filesystem::exists(storage::DataPath()));
    EXPECT_EQ(storage::ReadSettingNumber(kCount), 0);
}

TEST(SettingsWithoutPaths, TouchNoFile)
{
    storage::ReleasePaths();
    EXPECT_EQ(storage::SettingsPath(), "");
    EXPECT_EQ(storage::ReadSetting(std::string(storage::kFolderCountKey)), "");
    EXPECT_FALSE(storage::WriteSetting(std::string(storage::kFolderCountKey), "1"));
}

}  // namespace
