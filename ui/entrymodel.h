#pragma once

#include <QAbstractTableModel>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ui {

// The rows of the entry list: each row's bytes exactly as they were put in,
// decoded only to be shown. One column, "内容".
//
// A folder read from its file keeps the file's bytes in one block, and its
// rows are views into it: a hundred thousand entries cost one allocation and
// sixteen bytes a row. A row set later owns its own bytes.
class EntryModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit EntryModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    int RowCount() const;
    // Adds a row with empty text after the last one and gives its index.
    int AppendRow();
    // Adds the rows after the last one in one step. The rows are views into
    // bytes that block keeps alive; the model holds on to it until it is
    // cleared.
    void AppendRows(std::shared_ptr<const void> block, std::vector<std::string_view> rows);
    // The same for rows that bring their own bytes.
    void AppendRows(const std::vector<std::string>& rows);
    // The row's bytes, valid until the row changes; empty for a row that
    // does not exist.
    std::string_view RowText(int row) const;
    // False, changing nothing, for a row that does not exist.
    bool SetRowText(int row, std::string_view text);
    bool DeleteRow(int row);
    void ClearRows();
    // Every row in order, without a copy.
    const std::vector<std::string_view>& Rows() const { return m_rows; }

private:
    bool IsRow(int row) const;
    // A view of a copy of text that the model owns.
    std::string_view Own(std::string_view text);
    // Frees the bytes of a row that owned them.
    void Release(std::string_view row);

    std::vector<std::string_view> m_rows;
    std::vector<std::shared_ptr<const void>> m_blocks;
    std::unordered_map<const char*, std::unique_ptr<char[]>> m_owned;
};

}  // namespace ui
