#include "ui/entrymodel.h"

#include "ui/codec.h"

namespace ui {

namespace {

// A row shows on one line and the column is 2,500 pixels wide: decoding and
// laying out more than this many bytes of a long entry would show nothing
// more, only cost time on every paint.
constexpr std::size_t kShownBytes = 4096;

// The first bytes of text, cut where a character starts (stepping as code
// page 936 does, one byte below 0x80, else two).
std::string_view ShownPart(std::string_view text)
{
    if (text.size() <= kShownBytes)
        return text;
    std::size_t end = 0;
    while (end < kShownBytes)
        end += (static_cast<unsigned char>(text[end]) & 0x80) ? 2 : 1;
    return text.substr(0, end > kShownBytes ? end - 2 : end);
}

// A multi-line entry shows on its one line: every line break, CR LF or a
// lone CR or LF, becomes a space.
QString OnOneLine(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

const std::string kNoText;

}  // namespace

EntryModel::EntryModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

int EntryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowCount();
}

int EntryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant EntryModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.column() != 0 || !IsRow(index.row()))
        return {};
    return OnOneLine(DecodeText(ShownPart(m_rows[static_cast<std::size_t>(index.row())])));
}

QVariant EntryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == 0) {
        if (role == Qt::DisplayRole)
            return QStringLiteral("内容");
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags EntryModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

int EntryModel::RowCount() const
{
    return static_cast<int>(m_rows.size());
}

int EntryModel::AppendRow()
{
    const int row = RowCount();
    beginInsertRows({}, row, row);
    m_rows.emplace_back();
    endInsertRows();
    return row;
}

void EntryModel::AppendRows(std::vector<std::string> rows)
{
    if (rows.empty())
        return;
    const int first = RowCount();
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    if (m_rows.empty()) {
        m_rows = std::move(rows);
    } else {
        m_rows.insert(m_rows.end(), std::make_move_iterator(rows.begin()),
                      std::make_move_iterator(rows.end()));
    }
    endInsertRows();
}

const std::string& EntryModel::RowText(int row) const
{
    return IsRow(row) ? m_rows[static_cast<std::size_t>(row)] : kNoText;
}

bool EntryModel::SetRowText(int row, std::string text)
{
    if (!IsRow(row))
        return false;
    m_rows[static_cast<std::size_t>(row)] = std::move(text);
    const QModelIndex cell = index(row, 0);
    emit dataChanged(cell, cell, {Qt::DisplayRole});
    return true;
}

bool EntryModel::DeleteRow(int row)
{
    if (!IsRow(row))
        return false;
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    return true;
}

void EntryModel::ClearRows()
{
    beginResetModel();
    std::vector<std::string>().swap(m_rows);
    endResetModel();
}

bool EntryModel::IsRow(int row) const
{
    return row >= 0 && static_cast<std::size_t>(row) < m_rows.size();
}

}  // namespace ui
