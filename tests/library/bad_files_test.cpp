// No file content may crash the program or make its start hang. Each case
// runs the real program on a bad settings file or entry file until it waits
// in its event loop, ends it with SIGTERM, and checks that it ended with
// exit code 0, within a time limit, with its memory under a bound over what
// a start on an empty data directory takes in the same run, and that it
// wrote over no file.
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "storage/entries.h"
#include "storage/ini.h"
#include "storage/settings.h"
#include "support/datadir.h"
#include "support/program_run.h"
#include "support/sanitizer_allowance.h"
#include "support/temp_dir.h"
#include "support/texts.h"

namespace {

using namespace testing_support::texts;

using testing_support::DataDir;
using testing_support::SettingsFile;

using testing_support::kMemoryExtra;
using testing_support::kMemoryFactor;
using testing_support::kTimeFactor;

const std::string S(storage::kEntrySeparator);
const std::string kHeader = "[" + kSection + "]\r\n";
const std::string kName0 = storage::FolderNameKey(0);

struct BadFile
{
    const char* name;
    std::function<void(const DataDir&)> make;
    double seconds;     // time limit for the start, and again for the end
    double megabytes;   // bound on the peak memory over an empty start
    std::string said;   // all it writes on standard error
};

// What tells that a file was not written over: a replacement is a new
// file, with a new inode.
struct FileMark
{
    ino_t inode;
    off_t size;
    long long modified;
    bool operator==(const FileMark&) const = default;
};

std::map<std::string, FileMark> Marks(const std::string& folder)
{
    std::map<std::string, FileMark> marks;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        struct stat st {};
        if (::lstat(entry.path().c_str(), &st) == 0)
            marks[entry.path().filename().string()] = {st.st_ino, st.st_size,
                                                       st.st_mtim.tv_sec * 1'000'000'000LL + st.st_mtim.tv_nsec};
    }
    return marks;
}

// The values that start-up takes from the settings file.
std::vector<std::optional<std::string>> StartValues(const std::string& settings)
{
    return {storage::IniGetValue(settings, kSection, kCount), storage::IniGetValue(settings, kSection, kName0)};
}

class BadFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Prepare([](const DataDir&) {});
        floor = Run(10);
        Print("empty data directory (the floor)", floor);
    }

    // A data directory with nothing but what make writes.
    void Prepare(const std::function<void(const DataDir&)>& make)
    {
        std::filesystem::remove_all(data.Path());
        std::filesystem::create_directories(data.Path());
        make(data);
    }

    testing_support::ProgramRun Run(double seconds)
    {
        return testing_support::RunUntilStarted(
            TOVRIMO_EXECUTABLE,
            {"XDG_DATA_HOME=" + data.Home(), "XDG_RUNTIME_DIR=" + runtime.path().toStdString(),
             "QT_QPA_PLATFORM=offscreen"},
            seconds * kTimeFactor);
    }

    static void Print(const char* name, const testing_support::ProgramRun& run)
    {
        std::printf("%-40s %7.3f s to start %7.3f s processor %7.0f MB peak\n", name, run.startSeconds,
                    run.cpuSeconds, run.peakMegabytes);
    }

    void Check(const BadFile& c)
    {
        SCOPED_TRACE(c.name);
        const std::string settingsPath = data.Path() + "peizhi.ini";
        Prepare(c.make);
        const auto marks = Marks(data.Path());
        const auto values = StartValues(testing_support::ReadBytes(settingsPath));

        const testing_support::ProgramRun run = Run(c.seconds);
        Print(c.name, run);

        EXPECT_TRUE(run.started) << "not in its event loop after " << c.seconds * kTimeFactor << " s";
        EXPECT_TRUE(run.ended) << "did not end on SIGTERM";
        EXPECT_EQ(run.signal, 0);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_LT(run.peakMegabytes,
                  floor.peakMegabytes + c.megabytes * kMemoryFactor + kMemoryExtra);
        EXPECT_EQ(run.errors, c.said);

        // A start writes no entry file, and leaves what it read of the
        // settings as it was.
        auto marksAfter = Marks(data.Path());
        marksAfter.erase("peizhi.ini");
        auto marksBefore = marks;
        marksBefore.erase("peizhi.ini");
        EXPECT_EQ(marksAfter, marksBefore);
        EXPECT_EQ(StartValues(testing_support::ReadBytes(settingsPath)), values);
    }

    DataDir data;
    QTemporaryDir runtime;
    testing_support::ProgramRun floor;
};

void WriteSettings(const DataDir& data, const std::string& bytes)
{
    data.Write("peizhi.ini", bytes);
}

TEST_F(BadFiles, SettingsFiles)
{
    const std::string mb(1 << 20, 'x');
    const BadFile cases[] = {
        {"settings: empty file", [](const DataDir& d) { WriteSettings(d, ""); }, 10, 20, {}},
        // Zero bytes end a value; a megabyte of them is a line like any other.
        {"settings: zero bytes",
         [](const DataDir& d) {
             WriteSettings(d, kHeader + kCount + std::string("=3\0 9\r\n", 7) + std::string(1 << 20, '\0') + "\r\n" +
                                  kName0 + "=\xC4\xDA\r\n");
         },
         10, 30, {}},
        // Lone lead bytes and bytes no character uses, mixed with the marks
        // that make lines, sections and keys.
        {"settings: invalid GBK",
         [](const DataDir& d) {
             std::mt19937 random(8);
             std::string junk;
             const char marks[] = {'\r', '\n', '[', ']', '=', ';', ' '};
             for (int i = 0; i < (256 << 10); ++i)
                 junk += random() % 4 ? static_cast<char>(0x80 + random() % 0x80) : marks[random() % sizeof marks];
             WriteSettings(d, junk + "\r\n" + kHeader + kCount + "=\xA3\xB2\xFF\r\n" + kName0 + "=\x80\xFF\xC4\r\n" + junk);
         },
         10, 30, {}},
        // A section name, a folder name and a line without '=' of a
        // megabyte each.
        {"settings: lines of 1 MB",
         [mb](const DataDir& d) {
             WriteSettings(d, "[" + mb + "]\r\nk=v\r\n" + kHeader + kName0 + "=" + mb + "\r\n" + mb + "\r\n" + kCount +
                                  "=4\r\n" + storage::FolderNameKey(3) + "=" + mb + "\r\n");
         },
         10, 50, {}},
        {"settings: 100,000 sections",
         [](const DataDir& d) {
             std::string file;
             for (int i = 0; i < 100000; ++i)
                 file += "[s" + std::to_string(i) + "]\r\nk=v\r\n";
             WriteSettings(d, file + kHeader + kCount + "=5\r\n");
         },
         10, 50, {}},
        // The count at its highest, and a name at the last folder it
        // counts: as many folders as start-up restores at all.
        {"settings: 2147483647 folders",
         [](const DataDir& d) {
             WriteSettings(d, SettingsFile({{kCount, "2147483647"}, {storage::FolderNameKey(2147483646), "last"}}));
         },
         10, 80, "tovrimo: the settings file counts 2147483647 folders; restoring 100000\n"},
    };
    for (const BadFile& c : cases)
        Check(c);
}

TEST_F(BadFiles, EntryFiles)
{
    const BadFile cases[] = {
        {"entries: empty file", [](const DataDir& d) { d.Write("0.txt", ""); }, 10, 20, {}},
        // As a crash on some file systems leaves a file; sparse, so that it
        // costs no disk.
        {"entries: 100 MB of zero bytes",
         [](const DataDir& d) {
             const int fd = ::open((d.Path() + "0.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
             ASSERT_EQ(::ftruncate(fd, 100 << 20), 0);
             ::close(fd);
         },
         10, 150, {}},
        // A lead byte at the very end has no second byte to pair with.
        {"entries: a lone lead byte at the end",
         [](const DataDir& d) { d.Write("0.txt", "A" + S + "B\xC4"); }, 10, 20, {}},
    };
    for (const BadFile& c : cases)
        Check(c);
}

// 500 MB of separators are 50 million empty entries. The program holds the
// file's bytes (500 MB), a view of 16 bytes per entry into them (800 MB),
// and the list's row bookkeeping of 8 bytes per row (400 MB).
TEST_F(BadFiles, FiveHundredMegabytesOfSeparators)
{
    Check({"entries: 500 MB of separators",
           [](const DataDir& d) {
               std::string block;
               for (int i = 0; i < 100'000; ++i)
                   block += S;
               std::FILE* out = std::fopen((d.Path() + "0.txt").c_str(), "wb");
               for (int written = 0; written < 500; ++written)
                   ASSERT_EQ(std::fwrite(block.data(), 1, block.size(), out), block.size());
               ASSERT_EQ(std::fclose(out), 0);
           },
           60, 1900, {}});
}

}  // namespace
