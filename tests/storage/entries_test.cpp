#include "storage/entries.h"

#include <cstdlib>
#include <random>

#include <gtest/gtest.h>

#include "storage/paths.h"
#include "support/rows.h"
#include "support/reference_split.h"
#include "support/temp_dir.h"

namespace {

using Entries = std::vector<std::string>;

const std::string S(storage::kEntrySeparator);

using testing_support::ReadEntries;

using testing_support::ReferenceSplit;

struct SplitCase
{
    const char* name;
    std::string text;
    Entries expected;
};

TEST(SplitEntries, Cases)
{
    const std::string nei = "\xC4\xDA";  // 内, a double-byte character
    const SplitCase cases[] = {
        {"empty text", "", {}},
        {"two entries", "A" + S + "B" + S, {"A", "B"}},
        {"empty entry between", "A" + S + S + "B" + S, {"A", "", "B"}},
        {"only an empty entry", S, {""}},
        {"leading separator", S + "A" + S, {"", "A"}},
        {"text after the last separator", "A" + S + "tail", {"A", "tail"}},
        {"no separator at all", "just text", {"just text"}},
        {"line breaks kept", "a\r\nb" + S + nei + "\r\n" + S, {"a\r\nb", nei + "\r\n"}},
        {"lone 0x80 swallows the separator's first byte",
         "A\x80" + S + "B" + S, {"A\x80" + S + "B"}},
        {"two-byte characters keep alignment", nei + nei + S + nei + S, {nei + nei, nei}},
        {"bytes after a zero byte are ignored",
         std::string("A") + S + std::string("B\0C", 3) + S, {"A", "B"}},
        {"zero byte first", std::string("\0A", 2) + S, {}},
        {"shorter than a separator", "=\xC4\xDA", {"=\xC4\xDA"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(storage::SplitEntries(c.text), c.expected) << c.name;
        EXPECT_EQ(ReferenceSplit(c.text), c.expected) << c.name << " (reference)";
    }
}

// Random texts built from pieces that make the alignment matter: separators,
// parts of separators, lone lead bytes, 0x80, ASCII, double-byte characters.
TEST(SplitEntries, AgreesWithCharacterSteppingOnRandomBytes)
{
    std::mt19937 random(20261211);
    const std::string pieces[] = {
        S, S, S.substr(0, 9), S.substr(1), "=", "\x80", "\xC4", "\xC4\xDA", "\xB7\xD6\xB8\xEE",
        "a", "\r\n", "\xFF", "\x81\x3D", std::string(1, '\0'),
    };
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int count = static_cast<int>(random() % 24);
        for (int i = 0; i < count; ++i)
            text += pieces[random() % std::size(pieces)];
        ASSERT_EQ(storage::SplitEntries(text), ReferenceSplit(text)) << "round " << round;
    }
    for (int round = 0; round < 2000; ++round) {
        std::string text(random() % 300, '\0');
        for (char& c : text)
            c = static_cast<char>("=\xC4\xDA\xC8\xDD\xB7\xD6\xB8\xEE\x80xy"[random() % 12]);
        ASSERT_EQ(storage::SplitEntries(text), ReferenceSplit(text)) << "bytes round " << round;
    }
}

// Past a million entries the split counts the rest of the text before it
// places the entries; pieces that shift the alignment keep that count honest.
TEST(SplitEntries, AgreesWithCharacterSteppingOnMillionsOfEntries)
{
    std::mt19937 random(7);
    const std::string pieces[] = {"", "a", "\xC4\xDA", "\x80", "\xC4", S.substr(0, 9), "=", "bc\r\n"};
    std::string text;
    for (int i = 0; i < 1'500'000; ++i) {
        text += pieces[random() % std::size(pieces)];
        text += S;
    }
    const Entries entries = storage::SplitEntries(text);
    ASSERT_GT(entries.size(), 1'100'000u);
    EXPECT_TRUE(entries == ReferenceSplit(text));
}

TEST(JoinEntries, EveryEntryFollowedByTheSeparator)
{
    EXPECT_EQ(storage::JoinEntries(Entries{}), "");
    EXPECT_EQ(storage::JoinEntries(Entries{""}), S);
    EXPECT_EQ(storage::JoinEntries(Entries{"A", "", "B"}), "A" + S + S + "B" + S);
}

// What a save followed by a load gives for entries that do not survive it.
TEST(JoinEntries, EntriesThatComeBackDifferently)
{
    const struct
    {
        const char* name;
        Entries saved;
        Entries loaded;
    } cases[] = {
        {"holding the separator", {"A" + S + "B"}, {"A", "B"}},
        {"ending with the separator less its last byte", {"A" + S.substr(0, 9)}, {"A", S.substr(1)}},
        {"ending in a lone 0x80", {"A\x80", "B", "C"}, {"A\x80" + S + "B", "C"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(storage::SplitEntries(storage::JoinEntries(c.saved)), c.loaded) << c.name;
}

class EntryFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::setenv("XDG_DATA_HOME", home.path().c_str(), 1);
        storage::InitPaths();
        dataDir = storage::DataPath();
    }
    void TearDown() override { storage::ReleasePaths(); }

    testing_support::TempDir home;
    std::string dataDir;
};

TEST_F(EntryFileTest, WritesTheFolderFileAndReadsItBack)
{
    const Entries entries{"A", "", "B\r\nline two", "\xC4\xDA\xC8\xDD"};
    ASSERT_TRUE(storage::WriteEntryFile(3, entries));
    EXPECT_EQ(testing_support::ReadBytes(dataDir + "3.txt"), "A" + S + S + "B\r\nline two" + S + "\xC4\xDA\xC8\xDD" + S);
    EXPECT_EQ(ReadEntries(3), entries);

    ASSERT_TRUE(storage::WriteEntryFile(3, Entries{}));
    EXPECT_EQ(testing_support::ReadBytes(dataDir + "3.txt"), "");
    EXPECT_EQ(ReadEntries(3), Entries{});
    EXPECT_EQ(testing_support::ListFolder(dataDir), std::vector<std::string>{"3.txt"});
}

TEST_F(EntryFileTest, MissingOrUnreadableFileHasNoEntries)
{
    EXPECT_EQ(ReadEntries(0), Entries{});
    std::filesystem::create_directory(dataDir + "1.txt");
    EXPECT_EQ(ReadEntries(1), Entries{});
    // Only a file that is there and could not be read may hold more.
    testing_support::WriteBytes(dataDir + "2.txt", "");
    EXPECT_FALSE(storage::ReadEntryFile(0).unreadable);
    EXPECT_TRUE(storage::ReadEntryFile(1).unreadable);
    EXPECT_FALSE(storage::ReadEntryFile(2).unreadable);
}

TEST_F(EntryFileTest, NegativeAndLargeFolderIndexesNameTheirFiles)
{
    ASSERT_TRUE(storage::WriteEntryFile(2147483647, Entries{"x"}));
    EXPECT_EQ(testing_support::ReadBytes(dataDir + "2147483647.txt"), "x" + S);
}

// Entries made of ASCII and valid GBK characters survive a save and a reload
// unless they hold the separator or end with its beginning.
TEST_F(EntryFileTest, RandomEntriesSurviveWriteThenRead)
{
    std::mt19937 random(42);
    auto randomCharacter = [&]() -> std::string {
        switch (random() % 4) {
        case 0: return std::string(1, static_cast<char>(0x20 + random() % 0x5F));
        case 1: return "\r\n";
        default: {
            const char lead = static_cast<char>(0x81 + random() % 0x7E);
            unsigned trail = 0x40 + random() % 0xBF;
            if (trail == 0x7F)
                trail = 0x80;
            return {lead, static_cast<char>(trail)};
        }
        }
    };
    auto safe = [](const std::string& e) {
        if (e.find(S) != std::string::npos)
            return false;
        for (std::size_t k = 1; k < S.size(); ++k) {
            if (e.size() >= k && e.compare(e.size() - k, k, S, 0, k) == 0)
                return false;
        }
        return true;
    };

    Entries entries;
    while (entries.size() < 5000) {
        std::string e;
        const int length = static_cast<int>(random() % 40);
        for (int i = 0; i < length; ++i)
            e += random() % 50 == 0 ? S.substr(random() % 10) : randomCharacter();
        if (safe(e))
            entries.push_back(e);
    }
    ASSERT_TRUE(storage::WriteEntryFile(0, entries));
    EXPECT_EQ(ReadEntries(0), entries);
}

}  // namespace
