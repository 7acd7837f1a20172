#pragma once

#include <QTableView>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/entrymodel.h"

namespace ui {

// The entry list `超级列表框1`: the current folder's entries, one row each,
// in a single column. At most one row is selected; rows are never edited in
// place or sorted.
class EntryList final : public QTableView
{
    Q_OBJECT

public:
    explicit EntryList(QWidget* parent = nullptr);

    int RowCount() const;
    // Adds a row with empty text after the last one and gives its index. The
    // selection and the scroll position stay as they were.
    int AppendRow();
    // Appends many rows at once, as one change of the list: views into
    // bytes that block keeps alive (a folder file as read), or rows that
    // bring their own bytes.
    void AppendRows(std::shared_ptr<const void> block, std::vector<std::string_view> rows);
    void AppendRows(const std::vector<std::string>& rows);
    // The row's bytes, valid until the row changes; empty for a row that
    // does not exist.
    std::string_view RowText(int row) const;
    // Replaces the row's bytes; nothing happens for a row that does not exist.
    void SetRowText(int row, std::string_view text);
    // Removes the row; the rows below move up. Nothing for a row that does
    // not exist.
    void DeleteRow(int row);
    void ClearRows();
    // Every row's bytes in order, without a copy.
    const std::vector<std::string_view>& Rows() const;
    // The selected row, or -1.
    int SelectedRow() const;

    EntryModel& Model() { return m_model; }

signals:
    // A click with the left button, after the click has reached the
    // selection; also below the last row, where no row is selected then.
    // Moving the selection with the keyboard raises nothing.
    void entryClicked();
    // The right button went down over the rows, before the list selects the
    // row under the pointer. The list gets the press after every handler
    // has returned.
    void rightPressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    EntryModel m_model;
    bool m_leftPressed = false;
};

}  // namespace ui
