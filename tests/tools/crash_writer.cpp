// Saves folder 0 and the settings file over and over, each time the other
// of two versions, until it is killed. The crash test kills it at random
// moments and looks at what is left on disk.
//
// The data directory is chosen as the program chooses it (XDG_DATA_HOME).
// Once the first round of writes is done, one byte goes to standard output.

#include <unistd.h>

#include <cstdio>

#include "crash_contents.h"
#include "storage/entries.h"
#include "storage/paths.h"
#include "storage/settings.h"

int main()
{
    storage::InitPaths();
    const std::vector<std::string> versions[] = {crashtest::Entries(false), crashtest::Entries(true)};
    const std::string values[] = {crashtest::SettingValue(false), crashtest::SettingValue(true)};
    for (unsigned round = 0;; ++round) {
        const unsigned v = round % 2;
        if (!storage::WriteEntryFile(0, versions[v]) || !storage::WriteSetting(crashtest::SettingKey(), values[v]))
            return 2;
        if (round == 0 && ::write(STDOUT_FILENO, "w", 1) != 1)
            return 3;
    }
}
