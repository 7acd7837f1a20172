#include <gtest/gtest.h>

#include <string>

#include "ui/codec.h"

namespace {

struct DecodeCase
{
    const char* name;
    std::string bytes;
    QString shown;
};

void PrintTo(const DecodeCase& c, std::ostream* os)
{
    *os << c.name;
}

class Decode : public ::testing::TestWithParam<DecodeCase>
{
};

TEST_P(Decode, ShowsTheBytesAsCodePage936Does)
{
    EXPECT_EQ(ui::DecodeText(GetParam().bytes), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, Decode,
    ::testing::Values(
        DecodeCase{"Empty", "", QString()},
        DecodeCase{"Ascii", "Hello, 42\r\n", QStringLiteral("Hello, 42\r\n")},
        DecodeCase{"Gbk", "\xB3\xA3\xD3\xC3", QStringLiteral("常用")},
        // 0x80 alone is the euro sign in code page 936.
        DecodeCase{"LoneEuro", "\x80", QStringLiteral("€")},
        DecodeCase{"EuroAmongText", "a\x80" "b\xB3\xA3\x80", QStringLiteral("a€b常€")},
        // As the second byte of a pair it is part of that character.
        DecodeCase{"EuroByteAsTrailByte", "\x81\x80", QStringLiteral("亐")},
        // A four-byte GB18030 sequence: an emoji typed on another system.
        DecodeCase{"FourByteSequence", "\x94\x39\xFC\x36", QStringLiteral("😀")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Encode, GivesCodePage936BytesForGbkAndKeepsTheRestOfUnicode)
{
    EXPECT_EQ(ui::EncodeText(QStringLiteral("常用 ok")), "\xB3\xA3\xD3\xC3 ok");
    for (const QString& text : {QStringLiteral("😀 表情"), QStringLiteral("€5"),
                                QStringLiteral("ä ß ☃ \u00A0")}) {
        EXPECT_EQ(ui::DecodeText(ui::EncodeText(text)), text) << text.toStdString();
    }
}

// What no byte text can hold: a zero character is dropped, half a surrogate
// pair alone becomes U+FFFD, wherever it stands; a whole pair is kept.
TEST(Encode, TextWithoutBytesOfItsOwnShowsAgainAsTheReplacementCharacter)
{
    using namespace std::string_literals;
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"a\0b"s, u"ab"},
        {u"a\xD800" u"b", u"a\uFFFDb"},
        {u"a\xDC00" u"b", u"a\uFFFDb"},
        {u"ab\xD83D", u"ab\uFFFD"},
        {u"\xDE00" u"a", u"\uFFFDa"},
        {u"\xD83D\xD83D\xDE00\xDE00", u"\uFFFD\U0001F600\uFFFD"},
        {u"\0\xD800\0"s, u"\uFFFD"},
    };
    for (const auto& [typed, shown] : cases) {
        const std::string stored = ui::EncodeText(QString::fromStdU16String(typed));
        EXPECT_EQ(stored.find('\0'), std::string::npos);
        EXPECT_EQ(ui::DecodeText(stored), QString::fromStdU16String(shown))
            << QString::fromStdU16String(typed).toStdString();
    }
}

}  // namespace
