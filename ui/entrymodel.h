#pragma once

#include <QAbstractTableModel>

#include <string>
#include <vector>

namespace ui {

// The rows of the entry list: each row's bytes exactly as they were put in,
// decoded only to be shown. One column, "内容".
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
    // Adds the rows after the last one in one step.
    void AppendRows(std::vector<std::string> rows);
    // The row's bytes; empty for a row that does not exist.
    const std::string& RowText(int row) const;
    // False, changing nothing, for a row that does not exist.
    bool SetRowText(int row, std::string text);
    bool DeleteRow(int row);
    void ClearRows();
    // Every row in order, without a copy.
    const std::vector<std::string>& Rows() const { return m_rows; }

private:
    bool IsRow(int row) const;

    std::vector<std::string> m_rows;
};

}  // namespace ui
