#include "ui/codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cstring>

namespace ui {

namespace {

constexpr char16_t kEuroSign = u'\u20AC';

// Length of the character that starts at bytes[i], as GB18030 steps: one
// byte below 0x80 or for 0x80 and 0xFF, four bytes for a lead byte followed
// by a digit, else two.
std::size_t CharacterLength(std::string_view bytes, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x81 || lead == 0xFF || i + 1 >= bytes.size())
        return 1;
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    if (second >= 0x30 && second <= 0x39 && i + 3 < bytes.size())
        return 4;
    return 2;
}

void AppendDecoded(QString& out, std::string_view bytes)
{
    if (bytes.empty())
        return;
    QStringDecoder decoder("GB18030");
    out += decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

}  // namespace

QString DecodeText(std::string_view bytes)
{
    // An empty view may have no bytes behind it at all, not even for memchr.
    if (bytes.empty())
        return {};
    // Most texts hold no 0x80 at all and go to the decoder in one piece.
    if (!std::memchr(bytes.data(), 0x80, bytes.size())) {
        QString out;
        AppendDecoded(out, bytes);
        return out;
    }
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    std::size_t piece = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        if (static_cast<unsigned char>(bytes[i]) == 0x80) {
            AppendDecoded(out, bytes.substr(piece, i - piece));
            out += QChar(kEuroSign);
            piece = ++i;
            continue;
        }
        i += CharacterLength(bytes, i);
    }
    AppendDecoded(out, bytes.substr(piece));
    return out;
}

std::string EncodeText(QStringView text)
{
    // A text never holds a zero byte: an entry file ends at its first one.
    // GB18030 gives a zero byte for U+0000 alone, which pasted text can
    // bring along; it is dropped. Half of a surrogate pair without its other
    // half is no character and has no bytes: the encoder would put the
    // control byte 0x1A in its place, or at the very end nothing at all. It
    // becomes the replacement character, which shows where it was.
    const auto unstorable = [&text](qsizetype i) {
        const QChar c = text[i];
        if (c.isHighSurrogate())
            return i + 1 == text.size() || !text[i + 1].isLowSurrogate();
        if (c.isLowSurrogate())
            return i == 0 || !text[i - 1].isHighSurrogate();
        return c.unicode() == 0;
    };
    qsizetype first = 0;
    while (first < text.size() && !unstorable(first))
        ++first;
    QString storable;
    if (first < text.size()) {
        storable.reserve(text.size());
        storable += text.first(first);
        for (qsizetype i = first; i < text.size(); ++i) {
            if (!unstorable(i))
                storable += text[i];
            else if (text[i].unicode() != 0)
                storable += QChar(QChar::ReplacementCharacter);
        }
        text = storable;
    }
    QStringEncoder encoder("GB18030");
    const QByteArray bytes = encoder.encode(text);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace ui
