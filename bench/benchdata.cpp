#include "benchdata.h"

#include <filesystem>
#include <fstream>

#include "storage/entries.h"
#include "storage/numbers.h"
#include "storage/settings.h"

namespace bench_data {

namespace {

// About 200 bytes: a few ASCII words and GBK characters from the common
// range, different for every entry.
std::string Entry(int n)
{
    std::string text = "Reply " + std::to_string(n) + ": ";
    unsigned state = static_cast<unsigned>(n) * 2654435761u + 12345u;
    while (text.size() < 200) {
        state = state * 1103515245u + 12345u;
        if ((state >> 16) % 4 == 0) {
            text += "thanks ";
        } else {
            text += static_cast<char>(0xB0 + (state >> 8) % 0x48);  // B0..F7
            text += static_cast<char>(0xA1 + (state >> 20) % 0x5E);  // A1..FE
        }
    }
    return text;
}

}  // namespace

std::size_t Write(const std::string& home, int folders, int entries)
{
    const std::filesystem::path data = std::filesystem::path(home) / "tovrimo" / "DATA";
    std::filesystem::create_directories(data);

    // Built by appending: GCC 12 at -O3 takes "[" + std::string(...) for an
    // overlapping copy (-Wrestrict).
    std::string settings = "[";
    settings += storage::kSettingsSection;
    settings += "]\r\n";
    settings += std::string(storage::kFolderCountKey) + "=" + storage::IntegerToText(folders) + "\r\n";
    for (int i = 0; i < folders; ++i)
        settings += storage::FolderNameKey(i) + "=\xD5\xCB\xBA\xC5" + std::to_string(i) + "\r\n";
    settings += std::string(storage::kWindowWidthKey) + "=1043\r\n";
    settings += std::string(storage::kWindowHeightKey) + "=666\r\n";
    std::ofstream(data / "peizhi.ini", std::ios::binary) << settings;

    std::string file;
    file.reserve(static_cast<std::size_t>(entries) * 212);
    for (int i = 0; i < entries; ++i)
        file += Entry(i) + std::string(storage::kEntrySeparator);
    std::ofstream(data / "0.txt", std::ios::binary) << file;
    return file.size();
}

}  // namespace bench_data
