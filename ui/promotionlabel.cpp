#include "ui/promotionlabel.h"

#include <QMouseEvent>

#include "ui/fonts.h"

namespace ui {

PromotionLabel::PromotionLabel(QWidget* parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("标签1"));
    // Plain text: an ampersand shows as itself.
    setTextFormat(Qt::PlainText);
    setText(QStringLiteral("聚划算—惠生活 聚精彩"));
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setWordWrap(false);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::ArrowCursor);
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, kTextColour);
    setPalette(colours);
}

void PromotionLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit leftPressed();
    QLabel::mousePressEvent(event);
}

}  // namespace ui
