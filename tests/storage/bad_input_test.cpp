// No file content may crash storage or make it hang. Each case reads (and,
// for the settings file, writes) a bad file in a child process with a limit
// on its time, and the memory it held at most is checked against a bound.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <random>

#include <gtest/gtest.h>

#include "storage/entries.h"
#include "storage/paths.h"
#include "storage/settings.h"
#include "support/rows.h"
#include "support/bounded_run.h"
#include "support/sanitizer_allowance.h"
#include "support/temp_dir.h"
#include "support/texts.h"

namespace {

using namespace testing_support::texts;

using testing_support::kMemoryExtra;
using testing_support::kMemoryFactor;
using testing_support::kTimeFactor;

const std::string S(storage::kEntrySeparator);
const std::string kHeader = "[" + std::string(storage::kSettingsSection) + "]\r\n";

// What a child finds wrong, said on standard error; its exit code.
class Findings
{
public:
    template <typename A, typename B>
    void expectEqual(const A& actual, const B& expected, const char* what)
    {
        if (actual == expected)
            return;
        std::fprintf(stderr, "wrong: %s\n", what);
        m_failed = true;
    }
    int exitCode() const { return m_failed ? 1 : 0; }

private:
    bool m_failed = false;
};

struct BadInputCase
{
    const char* name;
    double seconds;    // time limit
    double megabytes;  // bound on the memory held
};

class BadInput : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::setenv("XDG_DATA_HOME", home.path().c_str(), 1);
        storage::InitPaths();
        data = storage::DataPath();
    }
    void TearDown() override { storage::ReleasePaths(); }

    void run(const BadInputCase& c, const std::function<void(Findings&)>& body)
    {
        const testing_support::BoundedRun result = testing_support::RunBounded(
            [&] {
                Findings findings;
                body(findings);
                return findings.exitCode();
            },
            c.seconds * kTimeFactor);
        EXPECT_TRUE(result.finished) << c.name << ": stopped after " << result.seconds << " s";
        EXPECT_EQ(result.exitCode, 0) << c.name;
        EXPECT_LT(result.peakMegabytes, c.megabytes * kMemoryFactor + kMemoryExtra) << c.name;
        std::printf("%-40s %8.3f s %8.0f MB\n", c.name, result.seconds, result.peakMegabytes);
    }

    testing_support::TempDir home;
    std::string data;
};

// The reads that start-up makes, then a write and a read of what it wrote.
void StartUpReadsAndAWrite(Findings& f, std::int32_t count, const std::string& firstName)
{
    f.expectEqual(storage::ReadSetting(storage::FolderNameKey(0)), firstName, "first folder's name");
    f.expectEqual(storage::ReadSettingNumber(kCount), count, "folder count");
    for (int i = 1; i < 1000; ++i)
        storage::ReadSetting(storage::FolderNameKey(i));
    storage::ReadSettingNumber(kWidth);
    f.expectEqual(storage::WriteSettingNumber(kWidth, 812), true, "write");
    f.expectEqual(storage::ReadSettingNumber(kWidth), 812, "written value");
    f.expectEqual(storage::ReadSettingNumber(kCount), count, "folder count after the write");
}

TEST_F(BadInput, SettingsFiles)
{
    const std::string settings = storage::SettingsPath();
    const std::string name0 = storage::FolderNameKey(0);

    testing_support::WriteBytes(settings, "");
    run({"settings: empty file", 5, 50}, [&](Findings& f) { StartUpReadsAndAWrite(f, 0, ""); });

    // Zero bytes end a value, and a megabyte of them is a line like any other.
    testing_support::WriteBytes(settings, kHeader + kCount + std::string("=3\0 9\r\n", 7) + std::string(1 << 20, '\0') +
                                          "\r\n" + name0 + "=\xC4\xDA\r\n");
    run({"settings: zero bytes", 5, 50}, [&](Findings& f) { StartUpReadsAndAWrite(f, 3, "\xC4\xDA"); });

    // Bytes that are no GBK: lone lead bytes, bytes no character uses,
    // mixed with the marks that make lines, sections and keys.
    {
        std::mt19937 random(8);
        std::string junk;
        const char marks[] = {'\r', '\n', '[', ']', '=', ';', ' '};
        for (int i = 0; i < (64 << 10); ++i)
            junk += random() % 4 ? static_cast<char>(0x80 + random() % 0x80) : marks[random() % sizeof marks];
        testing_support::WriteBytes(settings, junk + "\r\n" + kHeader + kCount + "=\xA3\xB2\xFF\r\n" + name0 +
                                              "=\x80\xFF\xC4\r\n" + junk);
    }
    run({"settings: invalid GBK", 5, 50}, [&](Findings& f) { StartUpReadsAndAWrite(f, 2, "\x80\xFF\xC4"); });

    // A value, a line without '=' and a section name of a megabyte each.
    const std::string mb(1 << 20, 'x');
    testing_support::WriteBytes(settings, "[" + mb + "]\r\nk=v\r\n" + kHeader + name0 + "=" + mb + "\r\n" + mb +
                                          "\r\n" + kCount + "=4\r\n");
    run({"settings: lines of 1 MB", 10, 50},
        [&](Findings& f) { StartUpReadsAndAWrite(f, 4, mb.substr(0, storage::kMaxSettingLength)); });

    // 100,000 sections before the program's own.
    {
        std::string file;
        for (int i = 0; i < 100000; ++i)
            file += "[s" + std::to_string(i) + "]\r\nk=v\r\n";
        testing_support::WriteBytes(settings, file + kHeader + kCount + "=5\r\n");
    }
    run({"settings: 100,000 sections", 10, 50}, [&](Findings& f) { StartUpReadsAndAWrite(f, 5, ""); });
}

TEST_F(BadInput, EntryFiles)
{
    const std::string file = storage::EntryFilePath(0);

    testing_support::WriteBytes(file, "");
    run({"entries: empty file", 5, 50},
        [&](Findings& f) { f.expectEqual(testing_support::ReadEntries(0), std::vector<std::string>{}, "entries"); });

    // 100 MB of zero bytes, as a crash on some file systems leaves a file;
    // made sparse, so that it costs no disk.
    {
        const int fd = ::open(file.c_str(), O_WRONLY | O_TRUNC);
        ASSERT_EQ(::ftruncate(fd, 100 << 20), 0);
        ::close(fd);
    }
    run({"entries: 100 MB of zero bytes", 10, 150},
        [&](Findings& f) { f.expectEqual(testing_support::ReadEntries(0), std::vector<std::string>{}, "entries"); });

    // A lead byte at the very end has no second byte to pair with.
    run({"entries: a lone lead byte at the end", 5, 50}, [&](Findings& f) {
        const std::pair<std::string, std::vector<std::string>> cases[] = {
            {"A" + S + "B\xC4", {"A", "B\xC4"}},
            {"\x80", {"\x80"}},
            {"A" + S + "\xFE", {"A", "\xFE"}},
        };
        for (const auto& [bytes, entries] : cases) {
            testing_support::WriteBytes(file, bytes);
            f.expectEqual(testing_support::ReadEntries(0), entries, "entries");
        }
    });
}

// 500 MB of separators are 50 million empty entries. Each is a view of 16
// bytes into the file's block, 800 MB in all, on top of the 500 MB read:
// about 1.3 GB at the peak.
TEST_F(BadInput, FiveHundredMegabytesOfSeparators)
{
    constexpr std::size_t kCount = 50'000'000;
    {
        std::string block;
        for (int i = 0; i < 100'000; ++i)
            block += S;
        std::FILE* out = std::fopen(storage::EntryFilePath(0).c_str(), "wb");
        for (std::size_t written = 0; written < kCount; written += 100'000)
            ASSERT_EQ(std::fwrite(block.data(), 1, block.size(), out), block.size());
        ASSERT_EQ(std::fclose(out), 0);
    }
    run({"entries: 500 MB of separators", 60, 1500}, [&](Findings& f) {
        const storage::FolderFile file = storage::ReadEntryFile(0);
        const auto& entries = file.entries;
        f.expectEqual(entries.size(), kCount, "number of entries");
        f.expectEqual(std::all_of(entries.begin(), entries.end(), [](std::string_view e) { return e.empty(); }),
                      true, "all empty");
    });
}

// Sparse files larger than memory and swap together: asking for the memory
// to read them would stop the program. They read as unreadable, and the
// settings file, which a write edits, is then not written over.
TEST_F(BadInput, FilesLargerThanMemory)
{
    constexpr off_t kSize = off_t{4} << 40;  // 4 TiB
    for (const std::string& path : {storage::EntryFilePath(0), storage::SettingsPath()}) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        const bool made = ::ftruncate(fd, kSize) == 0;
        ::close(fd);
        if (!made)
            GTEST_SKIP() << "this file system holds no sparse file of 4 TiB";
    }
    run({"files larger than memory", 5, 50}, [&](Findings& f) {
        f.expectEqual(testing_support::ReadEntries(0), std::vector<std::string>{}, "entries");
        f.expectEqual(storage::ReadSetting(kCount), "", "folder count");
        f.expectEqual(storage::WriteSettingNumber(kCount, 2), false, "settings write");
    });
    struct stat st {};
    ASSERT_EQ(::stat(storage::SettingsPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_size, kSize);
}

// A named pipe in a file's place gives nothing at once instead of waiting
// for a writer.
TEST_F(BadInput, NamedPipesAreNotWaitedFor)
{
    ASSERT_EQ(::mkfifo(storage::EntryFilePath(0).c_str(), 0644), 0);
    ASSERT_EQ(::mkfifo(storage::SettingsPath().c_str(), 0644), 0);
    run({"named pipes", 5, 50}, [&](Findings& f) {
        f.expectEqual(testing_support::ReadEntries(0), std::vector<std::string>{}, "entries");
        f.expectEqual(storage::ReadSetting(kCount), "", "folder count");
    });
}

}  // namespace
