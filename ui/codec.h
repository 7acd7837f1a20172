#pragma once

#include <QString>
#include <QStringView>

#include <string>
#include <string_view>

namespace ui {

// The controls show and take Unicode; everything behind them is
// code-page-936 bytes. These two are the only crossings.

// Bytes as a text to show. Decoded as GB18030, except that a lone byte
// 0x80 where a character starts is the euro sign, as code page 936 has it.
QString DecodeText(std::string_view bytes);

// Typed text as GB18030 bytes: the same bytes as code page 936 for every
// GBK character, and lossless for the rest of Unicode. A zero character is
// dropped, since no text holds a zero byte; half of a surrogate pair alone
// becomes the replacement character U+FFFD.
std::string EncodeText(QStringView text);

}  // namespace ui
