// Storage speed on a 100,000-entry folder (about 20 MB) and a settings file
// with 1,000 folders, each next to the floor it is measured against.

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include <benchmark/benchmark.h>

#include "storage/entries.h"
#include "storage/files.h"
#include "storage/numbers.h"
#include "storage/paths.h"
#include "storage/settings.h"
#include "support/fixture.h"

namespace {

// A data directory on the disk the user's files would be on, not in memory.
class BenchData
{
public:
    BenchData()
    {
        const char* base = std::getenv("TOVRIMO_BENCH_DIR");
        std::string pattern = std::string(base ? base : std::filesystem::current_path().c_str()) +
                              "/tovrimo-bench-XXXXXX";
        m_home = ::mkdtemp(pattern.data());
        ::setenv("XDG_DATA_HOME", m_home.c_str(), 1);
        storage::InitPaths();
        entries = benchsupport::MakeEntries(100000);
        storage::WriteEntryFile(0, entries);
        fileBytes = storage::JoinEntries(entries);

        // Built piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict)
        // about "[" + std::string(...).
        std::string settings = "[";
        settings += storage::kSettingsSection;
        settings += "]\r\n";
        settings += std::string(storage::kFolderCountKey) + "=1000\r\n";
        for (int i = 0; i < 1000; ++i)
            settings += storage::FolderNameKey(i) + "=\xB3\xA3\xD3\xC3\xBB\xD8\xB8\xB4" + std::to_string(i) + "\r\n";
        settings += std::string(storage::kWindowWidthKey) + "=1043\r\n";
        settings += std::string(storage::kWindowHeightKey) + "=666\r\n";
        storage::ReplaceFile(storage::SettingsPath(), settings);
    }
    ~BenchData()
    {
        storage::ReleasePaths();
        std::filesystem::remove_all(m_home);
    }

    std::vector<std::string> entries;
    std::string fileBytes;

private:
    std::string m_home;
};

BenchData& Data()
{
    static BenchData data;
    return data;
}

// Floor: reading the file alone, from the page cache.
void BM_ReadFileOnly(benchmark::State& state)
{
    Data();
    const std::string path = storage::EntryFilePath(0);
    std::unique_ptr<char[]> buffer;
    std::size_t size = 0;
    int error = 0;
    for (auto _ : state) {
        storage::ReadWholeFile(path, buffer, size, error);
        benchmark::DoNotOptimize(buffer.get());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
}
BENCHMARK(BM_ReadFileOnly)->Unit(benchmark::kMillisecond);

// Read and split into entries: the target is 1 GB/s or more.
void BM_ReadEntryFile(benchmark::State& state)
{
    const std::size_t size = Data().fileBytes.size();
    std::size_t count = 0;
    for (auto _ : state) {
        auto entries = storage::ReadEntryFile(0);
        count = entries.size();
        benchmark::DoNotOptimize(entries.data());
    }
    if (count != Data().entries.size())
        state.SkipWithError("the folder did not read back whole");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(size));
}
BENCHMARK(BM_ReadEntryFile)->Unit(benchmark::kMillisecond);

// For comparison: the split by stepping one character at a time.
void BM_SplitByStepping(benchmark::State& state)
{
    const std::string& text = Data().fileBytes;
    const std::string_view s = storage::kEntrySeparator;
    for (auto _ : state) {
        std::vector<std::string> out;
        std::size_t p = 0, c = 0;
        while (text.size() - c >= s.size()) {
            if (text.compare(c, s.size(), s) == 0) {
                out.emplace_back(text, p, c - p);
                c += s.size();
                p = c;
            } else {
                c += (static_cast<unsigned char>(text[c]) & 0x80) ? 2 : 1;
            }
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_SplitByStepping)->Unit(benchmark::kMillisecond);

// Floor: one plain write of the same bytes and fsync, over the old file.
void BM_PlainWriteAndFsync(benchmark::State& state)
{
    const std::string path = storage::DataPath() + "plain.txt";
    const std::string& bytes = Data().fileBytes;
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            state.SkipWithError("write failed");
        ::fsync(fd);
        ::close(fd);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_PlainWriteAndFsync)->Unit(benchmark::kMillisecond)->UseRealTime();

// Join, write to a temporary file, flush, rename over the folder file.
void BM_WriteEntryFile(benchmark::State& state)
{
    const auto& entries = Data().entries;
    for (auto _ : state) {
        if (!storage::WriteEntryFile(1, entries))
            state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(Data().fileBytes.size()));
}
BENCHMARK(BM_WriteEntryFile)->Unit(benchmark::kMillisecond)->UseRealTime();

// What start-up reads of a settings file with 1,000 folders: the count, the
// names one by one, each read seeing the file as it is now. Target: < 20 ms.
void BM_ReadAllFolderNames(benchmark::State& state)
{
    Data();
    for (auto _ : state) {
        std::string first = storage::ReadSetting(storage::FolderNameKey(0));
        const std::int32_t count = storage::ReadSettingNumber(storage::kFolderCountKey);
        for (std::int32_t i = 1; i < count; ++i)
            benchmark::DoNotOptimize(storage::ReadSetting(storage::FolderNameKey(i)));
        benchmark::DoNotOptimize(storage::ReadSettingNumber(storage::kWindowWidthKey));
        benchmark::DoNotOptimize(storage::ReadSettingNumber(storage::kWindowHeightKey));
        if (count != 1000)
            state.SkipWithError("the settings did not read back");
    }
}
BENCHMARK(BM_ReadAllFolderNames)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
