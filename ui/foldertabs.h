#pragma once

#include <QWidget>

#include <string>
#include <vector>

class QToolButton;

namespace ui {

// The folder tabs `高级选择夹1`: one row of headers along the top, a page
// frame below. A left press on a header makes its tab current; there is no
// keyboard operation. When the headers do not fit, two small buttons at the
// right end of the row scroll it.
//
// Drawn here rather than with QTabBar, which measures every tab again on
// each insert: appending a tab costs one measurement of its title.
class FolderTabs final : public QWidget
{
    Q_OBJECT

public:
    explicit FolderTabs(QWidget* parent = nullptr);

    int TabCount() const;
    // Adds a tab after the last one and gives its index. The current tab
    // does not change and nothing is raised.
    int AppendTab(std::string title);
    // The tab's title as bytes; empty for a tab that does not exist.
    const std::string& TabName(int index) const;
    // Replaces the tab's title. False, changing nothing, for a tab that does
    // not exist. The current tab does not change and nothing is raised.
    bool SetTabName(int index, std::string title);
    int CurrentTab() const;

    // The index of the first header shown at the left end of the row.
    int FirstShownTab() const { return m_firstShown; }
    // The header's rectangle in this widget; empty for a tab that does not
    // exist or is scrolled out of the row.
    QRect HeaderRect(int index) const;

    static constexpr int kHeaderHeight = 20;

signals:
    // A left press on the header of a tab that was not current made it
    // current; CurrentTab() already gives the new index.
    void tabChanged();
    // The right button went down over the tabs. A right press changes
    // nothing of the tabs.
    void rightPressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct Tab
    {
        std::string title;
        QString shown;
        int width = 0;
    };

    int MeasureHeader(const QString& shown) const;
    // Left edge of a header with all headers laid out from x = 0.
    int HeaderStart(int index) const;
    int AllHeadersWidth() const;
    // Width of the row that headers may take.
    int RowWidth() const;
    int TabAt(const QPoint& point) const;
    void ScrollBy(int tabs);
    void UpdateScrollButtons();

    std::vector<Tab> m_tabs;
    // m_starts[i] is where header i starts; one more element gives the end
    // of the last header. Appending adds one element.
    std::vector<int> m_starts{0};
    int m_current = 0;
    int m_firstShown = 0;
    QToolButton* m_scrollLeft = nullptr;
    QToolButton* m_scrollRight = nullptr;
};

}  // namespace ui
