#include "ui/entrylist.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include "ui/fonts.h"

namespace ui {

namespace {

constexpr int kColumnWidth = 2500;

// Draws of each row only what the viewport can show. The column is far
// wider than the list, and laying out and rasterising the glyphs of a long
// entry beyond the right edge would cost paint time for nothing.
class VisiblePartDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const auto* view = qobject_cast<const QAbstractItemView*>(option->widget);
        if (!view)
            return;
        // Room from the cell's left edge to the viewport's right edge, with
        // a character's worth to spare for the text margin.
        const QFontMetrics metrics(option->font);
        const int room = view->viewport()->width() - option->rect.left() + metrics.height();
        if (room <= 0) {
            option->text.clear();
            return;
        }
        const QString& text = option->text;
        int width = 0;
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            width += length == 1 ? metrics.horizontalAdvance(text.at(i))
                                 : metrics.horizontalAdvance(text.mid(i, length));
            i += length;
            if (width > room) {
                option->text.truncate(i);
                return;
            }
        }
    }
};

}  // namespace

EntryList::EntryList(QWidget* parent)
    : QTableView(parent)
{
    setObjectName(QStringLiteral("超级列表框1"));
    setModel(&m_model);
    setItemDelegate(new VisiblePartDelegate(this));

    setFont(EntryListFont());
    // The selection shows only while the list has the focus; it stays in
    // effect when the focus goes elsewhere.
    ApplyTextBoxLook(*this);

    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setShowGrid(true);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setTabKeyNavigation(false);
    setDragEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    // Every row is one line high and the column has a fixed width, so that
    // the view never measures a row: 100,000 rows cost nothing to show.
    QHeaderView* rows = verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(fontMetrics().height() + 2);

    QHeaderView* columns = horizontalHeader();
    columns->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    columns->setHighlightSections(false);
    columns->setSectionsMovable(false);
    columns->setStretchLastSection(false);
    columns->resizeSection(0, kColumnWidth);
}

int EntryList::RowCount() const
{
    return m_model.RowCount();
}

int EntryList::AppendRow()
{
    return m_model.AppendRow();
}

void EntryList::AppendRows(std::shared_ptr<const void> block, std::vector<std::string_view> rows)
{
    m_model.AppendRows(std::move(block), std::move(rows));
}

void EntryList::AppendRows(const std::vector<std::string>& rows)
{
    m_model.AppendRows(rows);
}

std::string_view EntryList::RowText(int row) const
{
    return m_model.RowText(row);
}

void EntryList::SetRowText(int row, std::string_view text)
{
    m_model.SetRowText(row, text);
}

void EntryList::DeleteRow(int row)
{
    // The view would select the next row when the current one goes; here
    // no row is selected after the selected one is removed.
    if (currentIndex().row() == row)
        selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    if (SelectedRow() == row)
        selectionModel()->clearSelection();
    m_model.DeleteRow(row);
}

void EntryList::ClearRows()
{
    m_model.ClearRows();
    // A reset forgets the column's width along with the rows.
    horizontalHeader()->resizeSection(0, kColumnWidth);
}

const std::vector<std::string_view>& EntryList::Rows() const
{
    return m_model.Rows();
}

int EntryList::SelectedRow() const
{
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty())
        return -1;
    return selection.first().top();
}

void EntryList::mousePressEvent(QMouseEvent* event)
{
    // Only the left and the right button select.
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton) {
        event->ignore();
        return;
    }
    if (event->button() == Qt::RightButton)
        emit rightPressed();
    m_leftPressed = event->button() == Qt::LeftButton;

    QTableView::mousePressEvent(event);
    // A press below the last row leaves no row selected.
    if (!indexAt(event->position().toPoint()).isValid())
        selectionModel()->clearSelection();
}

void EntryList::mouseReleaseEvent(QMouseEvent* event)
{
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && m_leftPressed) {
        m_leftPressed = false;
        emit entryClicked();
    }
}

void EntryList::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press of a double click is a press like any other: it
    // selects, and its release is a click.
    QMouseEvent press(QEvent::MouseButtonPress, event->position(), event->scenePosition(),
                      event->globalPosition(), event->button(), event->buttons(),
                      event->modifiers(), event->pointingDevice());
    mousePressEvent(&press);
}

}  // namespace ui
