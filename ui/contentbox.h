#pragma once

#include <QPlainTextEdit>

#include <string>
#include <string_view>

namespace ui {

// The content box `编辑框显示内容`: a scratch text that wraps at its width.
class ContentBox final : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit ContentBox(QWidget* parent = nullptr);

    // All of the text as bytes, every line break a CR LF pair.
    std::string Text() const;
    // Replaces the whole text; CR LF, and a lone CR or LF, each break a line.
    void SetText(std::string_view text);
};

}  // namespace ui
