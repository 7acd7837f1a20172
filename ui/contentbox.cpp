#include "ui/contentbox.h"

#include <QTextDocument>

#include "ui/codec.h"
#include "ui/fonts.h"

namespace ui {

ContentBox::ContentBox(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("编辑框显示内容"));
    setFont(ContentBoxFont());
    // The selection shows only while the box has the focus.
    ApplyTextBoxLook(*this);

    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab moves the focus on, as between the other controls.
    setTabChangesFocus(true);
}

std::string ContentBox::Text() const
{
    // The raw text keeps no-break spaces, which toPlainText() turns into
    // plain ones; it marks line breaks as paragraph separators.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
    text.replace(QChar::LineSeparator, QLatin1String("\r\n"));
    return EncodeText(text);
}

void ContentBox::SetText(std::string_view text)
{
    QString shown = DecodeText(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    setPlainText(shown);
}

}  // namespace ui
