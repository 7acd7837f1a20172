#include "storage/ini.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

struct ReadCase
{
    const char* rule;
    std::string file;
    std::string key;
    std::optional<std::string> expected;
};

// Section "S" throughout; each case shows one rule of the reader.
TEST(IniGetValue, ReadsLikeTheProfileFunctions)
{
    const ReadCase cases[] = {
        {"CR LF, LF and CR end lines; the last needs none", "[S]\rA=1\nB=2\r\nC=3", "C", "3"},
        {"CR alone ends a line", "[S]\rA=1\nB=2\r\nC=3", "A", "1"},
        {"blanks inside brackets trimmed, text after ] ignored", "  [ S ] tail\r\nk=v", "k", "v"},
        {"a missing ] ends the name at the line's end", "[S\r\nk=v", "k", "v"},
        {"key and value trimmed, later = belong to the value", "[S]\r\n \tk \t= \ta=b \t\r\n", "k", "a=b"},
        {"a line without = is no key", "[S]\r\nk\r\nk=2", "k", "2"},
        {"; starts a comment", "[S]\r\n ;k=1\r\nk=2", "k", "2"},
        {"# starts no comment", "[S]\r\n#k=1", "#k", "1"},
        {"ASCII letters match in any case", "[s]\r\nKEY=1", "key", "1"},
        {"a double-byte character's second byte is not folded", "[S]\r\n\xD7\x41=1", "\xD7\x61", std::nullopt},
        {"double-byte names match exactly", "[S]\r\n\xD7\xD3\xBC\xD0=1", "\xD7\xD3\xBC\xD0", "1"},
        {"whole key names only", "[S]\r\nkey1=1", "key", std::nullopt},
        {"whole section names only", "[SS]\r\nk=1", "k", std::nullopt},
        {"lines before the first header belong to no section", "k=0\r\n[S]\r\nk=1", "k", "1"},
        {"no section, no value", "k=0", "k", std::nullopt},
        {"the first key wins", "[S]\r\nk=1\r\nk=2", "k", "1"},
        {"only the first section of the name counts", "[S]\r\na=1\r\n[S]\r\nk=3", "k", std::nullopt},
        {"double quotes are taken off", "[S]\r\nk= \" v \" ", "k", " v "},
        {"single quotes are taken off", "[S]\r\nk='v'", "k", "v"},
        {"unmatched quotes stay", "[S]\r\nk=\"v'", "k", "\"v'"},
        {"a lone quote stays", "[S]\r\nk=\"", "k", "\""},
        {"two quotes give empty", "[S]\r\nk=\"\"", "k", ""},
        {"key= is empty, not missing", "[S]\r\nk=", "k", ""},
        {"a value ends at a zero byte", "[S]\r\nk=ab\0cd\r\nz=1"s, "k", "ab"},
        {"invalid bytes elsewhere do no harm", "[S]\r\n\x80\xFF=\xFE\r\nk=1", "k", "1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(storage::IniGetValue(c.file, "S", c.key), c.expected) << c.rule;
}

struct WriteCase
{
    const char* rule;
    std::string before;
    std::string key;
    std::string value;
    std::string after;
};

TEST(IniSetValue, EditsInPlaceLikeTheProfileFunctions)
{
    const WriteCase cases[] = {
        {"an empty file gets the section", "", "k", "v", "[S]\r\nk=v\r\n"},
        {"an existing key is rewritten as spelled, its line end and all else kept",
         "; c\n[S]\n  KEY = old \nz=1\n", "key", "new", "; c\n[S]\nKEY=new\nz=1\n"},
        {"a new key follows the section's last non-blank line",
         "[S]\r\na=1\r\n\r\n[T]\r\n", "b", "2", "[S]\r\na=1\r\nb=2\r\n\r\n[T]\r\n"},
        {"a comment counts as non-blank", "[S]\r\na=1\r\n; note\r\n\r\n", "b", "2",
         "[S]\r\na=1\r\n; note\r\nb=2\r\n\r\n"},
        {"a last line without line end gets CR LF first", "[S]\r\na=1", "b", "2", "[S]\r\na=1\r\nb=2\r\n"},
        {"a section of its header alone", "[S]", "b", "2", "[S]\r\nb=2\r\n"},
        {"a missing section is appended with no blank line", "[T]\r\nx=1\r\n", "b", "2",
         "[T]\r\nx=1\r\n[S]\r\nb=2\r\n"},
        {"appending after a last line without line end", "[T]\nx=1", "b", "2", "[T]\nx=1\r\n[S]\r\nb=2\r\n"},
        {"an empty value leaves key=", "[S]\r\nk=1\r\n", "k", "", "[S]\r\nk=\r\n"},
        {"the first of duplicate keys and sections is overwritten",
         "[S]\r\nk=1\r\nk=2\r\n[S]\r\nk=3\r\n", "k", "9", "[S]\r\nk=9\r\nk=2\r\n[S]\r\nk=3\r\n"},
        {"invalid GBK and zero bytes elsewhere stay",
         "[T]\r\nq=\x80\xFF\0z\r\n[S]\r\na=1\r\n"s, "a", "2", "[T]\r\nq=\x80\xFF\0z\r\n[S]\r\na=2\r\n"s},
        {"the value is written exactly, blanks and quotes included", "[S]\r\n", "k", " \"x\" ",
         "[S]\r\nk= \"x\" \r\n"},
        {"a line break ends the value", "[S]\r\n", "k", "a\r\n[X]\r\nk=b", "[S]\r\nk=a\r\n"},
        {"lines before the header are not the section", "k=0\r\n[S]\r\n", "k", "1", "k=0\r\n[S]\r\nk=1\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(storage::IniSetValue(c.before, "S", c.key, c.value), c.after) << c.rule;
}

TEST(IniSetValue, WhatIsWrittenReadsBack)
{
    std::string file = "; kept\n[Other]\nk=x\n";
    const std::pair<std::string, std::string> writes[] = {
        {"\xD7\xD3\xBC\xD0\xCA\xFD", "3"}, {"k", "1"}, {"\xD7\xD3\xBC\xD0\xC3\xFB" "0", "\xC4\xDA"},
        {"K", "2"}, {"\xD7\xD3\xBC\xD0\xCA\xFD", "4"},
    };
    for (const auto& [key, value] : writes) {
        file = storage::IniSetValue(file, "S", key, value);
        EXPECT_EQ(storage::IniGetValue(file, "S", key), value) << key;
    }
    EXPECT_EQ(storage::IniGetValue(file, "Other", "k"), "x");
    EXPECT_EQ(file.rfind("; kept\n[Other]\nk=x\n", 0), 0u);
}

}  // namespace
