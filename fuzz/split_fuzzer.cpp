// The split of a folder file against plain character stepping, on any bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "check.h"
#include "storage/entries.h"
#include "support/reference_split.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> entries = storage::SplitEntries(text);
    FUZZ_CHECK(entries == testing_support::ReferenceSplit(text));

    // Saving what was read and reading it again loses nothing more: the
    // entries of a file come back from their own saved form.
    FUZZ_CHECK(storage::SplitEntries(storage::JoinEntries(entries)) ==
               testing_support::ReferenceSplit(storage::JoinEntries(entries)));
    return 0;
}
