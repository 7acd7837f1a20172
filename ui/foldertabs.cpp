#include "ui/foldertabs.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionTab>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QToolButton>

#include <algorithm>

#include "ui/codec.h"
#include "ui/fonts.h"

namespace ui {

namespace {

constexpr int kRowMargin = 2;          // free pixels before the first header
constexpr int kTitlePadding = 6;       // on either side of a title
constexpr int kMinimumHeaderWidth = 24;
constexpr int kScrollButtonSize = 16;

const std::string kNoTitle;

}  // namespace

FolderTabs::FolderTabs(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("高级选择夹1"));
    setFont(FolderTabsFont());
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, false);

    const auto makeButton = [this](const QString& text, const QString& tip, int step) {
        auto* button = new QToolButton(this);
        button->setText(text);
        button->setToolTip(tip);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRepeat(true);
        button->setFixedSize(kScrollButtonSize, kScrollButtonSize);
        button->hide();
        connect(button, &QToolButton::clicked, this, [this, step] { ScrollBy(step); });
        return button;
    };
    m_scrollLeft = makeButton(QStringLiteral("<"), QStringLiteral("向左滚动子夹头"), -1);
    m_scrollRight = makeButton(QStringLiteral(">"), QStringLiteral("向右滚动子夹头"), 1);
    m_scrollLeft->setObjectName(QStringLiteral("scrollLeft"));
    m_scrollRight->setObjectName(QStringLiteral("scrollRight"));

    // The one tab of the design, with the empty title, current.
    AppendTab({});
}

int FolderTabs::TabCount() const
{
    return static_cast<int>(m_tabs.size());
}

int FolderTabs::AppendTab(std::string title)
{
    Tab tab;
    tab.shown = DecodeText(title);
    tab.title = std::move(title);
    tab.width = MeasureHeader(tab.shown);
    m_starts.push_back(m_starts.back() + tab.width);
    m_tabs.push_back(std::move(tab));
    UpdateScrollButtons();
    update();
    return TabCount() - 1;
}

const std::string& FolderTabs::TabName(int index) const
{
    if (index < 0 || index >= TabCount())
        return kNoTitle;
    return m_tabs[static_cast<std::size_t>(index)].title;
}

bool FolderTabs::SetTabName(int index, std::string title)
{
    if (index < 0 || index >= TabCount())
        return false;
    Tab& tab = m_tabs[static_cast<std::size_t>(index)];
    tab.shown = DecodeText(title);
    tab.title = std::move(title);
    const int change = MeasureHeader(tab.shown) - tab.width;
    tab.width += change;
    if (change != 0) {
        for (std::size_t i = static_cast<std::size_t>(index) + 1; i < m_starts.size(); ++i)
            m_starts[i] += change;
    }
    UpdateScrollButtons();
    update();
    return true;
}

int FolderTabs::CurrentTab() const
{
    return m_current;
}

QRect FolderTabs::HeaderRect(int index) const
{
    if (index < m_firstShown || index >= TabCount())
        return {};
    const int x = kRowMargin + HeaderStart(index) - HeaderStart(m_firstShown);
    if (x >= RowWidth())
        return {};
    return {x, 0, m_tabs[static_cast<std::size_t>(index)].width, kHeaderHeight};
}

int FolderTabs::MeasureHeader(const QString& shown) const
{
    return std::max(kMinimumHeaderWidth, fontMetrics().horizontalAdvance(shown) + 2 * kTitlePadding);
}

int FolderTabs::HeaderStart(int index) const
{
    return m_starts[static_cast<std::size_t>(index)];
}

int FolderTabs::AllHeadersWidth() const
{
    return kRowMargin + m_starts.back();
}

int FolderTabs::RowWidth() const
{
    return m_scrollRight->isHidden() ? width() : width() - 2 * kScrollButtonSize;
}

int FolderTabs::TabAt(const QPoint& point) const
{
    if (point.y() < 0 || point.y() >= kHeaderHeight || point.x() < kRowMargin
        || point.x() >= RowWidth())
        return -1;
    // The header whose span holds x, counted from the first one shown.
    const int x = point.x() - kRowMargin + HeaderStart(m_firstShown);
    const auto after = std::upper_bound(m_starts.begin(), m_starts.end(), x);
    const int index = static_cast<int>(after - m_starts.begin()) - 1;
    return index < TabCount() ? index : -1;
}

void FolderTabs::ScrollBy(int tabs)
{
    const int first = std::clamp(m_firstShown + tabs, 0, TabCount() - 1);
    if (first == m_firstShown)
        return;
    m_firstShown = first;
    UpdateScrollButtons();
    update();
}

void FolderTabs::UpdateScrollButtons()
{
    const bool overflow = AllHeadersWidth() > width();
    if (!overflow)
        m_firstShown = 0;
    m_scrollLeft->setVisible(overflow);
    m_scrollRight->setVisible(overflow);
    if (!overflow)
        return;
    const int y = (kHeaderHeight - kScrollButtonSize) / 2;
    m_scrollLeft->move(width() - 2 * kScrollButtonSize, y);
    m_scrollRight->move(width() - kScrollButtonSize, y);
    m_scrollLeft->setEnabled(m_firstShown > 0);
    // Scrolling on is useful while the last header does not end inside the row.
    const int restWidth = kRowMargin + m_starts.back() - HeaderStart(m_firstShown);
    m_scrollRight->setEnabled(restWidth > RowWidth());
}

void FolderTabs::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    UpdateScrollButtons();
}

void FolderTabs::paintEvent(QPaintEvent*)
{
    QPainter painter(this);

    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.rect = QRect(0, kHeaderHeight - 1, width(), height() - kHeaderHeight + 1);
    frame.shape = QTabBar::RoundedNorth;
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &frame, &painter, this);

    painter.setClipRect(0, 0, RowWidth(), kHeaderHeight + 1);
    const auto drawHeader = [&](int index) {
        QStyleOptionTab option;
        option.initFrom(this);
        option.state &= ~QStyle::State_HasFocus;
        option.rect = HeaderRect(index);
        option.text = m_tabs[static_cast<std::size_t>(index)].shown;
        option.shape = QTabBar::RoundedNorth;
        option.documentMode = false;
        if (TabCount() == 1)
            option.position = QStyleOptionTab::OnlyOneTab;
        else if (index == 0)
            option.position = QStyleOptionTab::Beginning;
        else if (index == TabCount() - 1)
            option.position = QStyleOptionTab::End;
        else
            option.position = QStyleOptionTab::Middle;
        if (index == m_current)
            option.state |= QStyle::State_Selected;
        else if (index + 1 == m_current)
            option.selectedPosition = QStyleOptionTab::NextIsSelected;
        else if (index - 1 == m_current)
            option.selectedPosition = QStyleOptionTab::PreviousIsSelected;
        style()->drawControl(QStyle::CE_TabBarTabShape, &option, &painter, this);
        // The title is drawn whole, centred: the header was measured for it.
        painter.setPen(palette().color(QPalette::WindowText));
        const QRect text = option.rect.adjusted(0, index == m_current ? 0 : 2, 0, 0);
        painter.drawText(text, Qt::AlignCenter | Qt::TextSingleLine, option.text);
    };
    for (int i = m_firstShown; i < TabCount(); ++i) {
        if (HeaderRect(i).isEmpty())
            break;
        if (i != m_current)
            drawHeader(i);
    }
    // The current header is drawn last, over its neighbours' edges.
    if (!HeaderRect(m_current).isEmpty())
        drawHeader(m_current);
}

void FolderTabs::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        emit rightPressed();
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const int index = TabAt(event->position().toPoint());
    if (index < 0 || index == m_current)
        return;
    m_current = index;
    update();
    emit tabChanged();
}

}  // namespace ui
