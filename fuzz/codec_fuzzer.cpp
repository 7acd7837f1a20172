// The crossing between the controls' Unicode and the stored bytes.
//
// Typed text (the input read as UTF-16 code units): it is stored as bytes
// without a zero byte, and shows again as it was typed, with two exceptions
// that no byte text can hold: a zero character is dropped, and half of a
// surrogate pair without its other half becomes U+FFFD, the replacement
// character. Storing what shows again gives the same bytes, so picking an
// entry and modifying it without an edit leaves it as it is.
//
// Stored bytes (the input up to its first zero byte, as a folder file holds
// an entry): whatever they are, what shows for them is stored and shows
// again the same.

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "check.h"
#include "ui/codec.h"

namespace {

// What typed text shows as once stored, character by character.
QString Storable(QStringView text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() == 0)
            continue;
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += c;
            out += text[++i];
        } else if (c.isSurrogate()) {
            out += QChar(QChar::ReplacementCharacter);
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QString typed(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    for (std::size_t i = 0; i + 1 < size; i += 2)
        typed[static_cast<qsizetype>(i / 2)] = QChar(static_cast<char16_t>(data[i] | data[i + 1] << 8));

    const std::string stored = ui::EncodeText(typed);
    FUZZ_CHECK(stored.find('\0') == std::string::npos);
    const QString shown = ui::DecodeText(stored);
    FUZZ_CHECK(shown == Storable(typed));
    FUZZ_CHECK(ui::EncodeText(shown) == stored);

    const auto* bytes = reinterpret_cast<const char*>(data);
    const std::string_view entry(bytes, ::strnlen(bytes, size));
    const QString entryShown = ui::DecodeText(entry);
    FUZZ_CHECK(ui::DecodeText(ui::EncodeText(entryShown)) == entryShown);
    return 0;
}
