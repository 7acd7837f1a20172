#pragma once

#include <QLabel>

namespace ui {

// The promotion label `标签1`: one line of text that takes mouse presses.
class PromotionLabel final : public QLabel
{
    Q_OBJECT

public:
    explicit PromotionLabel(QWidget* parent = nullptr);

signals:
    // The left button went down over the label.
    void leftPressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace ui
