#pragma once

#include <string>

namespace bench_data {

// Writes a data directory under home (home/tovrimo/DATA) with a settings
// file naming `folders` folders and an entry file for folder 0 holding
// `entries` entries of about 200 bytes, ASCII and GBK mixed. Gives the size
// of that entry file.
std::size_t Write(const std::string& home, int folders, int entries);

}  // namespace bench_data
