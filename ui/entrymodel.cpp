#include "ui/entrymodel.h"

#include <cstring>

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

void EntryModel::AppendRows(std::shared_ptr<const void> block, std::vector<std::string_view> rows)
{
    if (rows.empty())
        return;
    const int first = RowCount();
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    if (block)
        m_blocks.push_back(std::move(block));
    if (m_rows.empty())
        m_rows = std::move(rows);
    else
        m_rows.insert(m_rows.end(), rows.begin(), rows.end());
    endInsertRows();
}

void EntryModel::AppendRows(const std::vector<std::string>& rows)
{
    std::vector<std::string_view> owned;
    owned.reserve(rows.size());
    for (const std::string& row : rows)
        owned.push_back(Own(row));
    AppendRows(nullptr, std::move(owned));
}

std::string_view EntryModel::RowText(int row) const
{
    return IsRow(row) ? m_rows[static_cast<std::size_t>(row)] : std::string_view();
}

bool EntryModel::SetRowText(int row, std::string_view text)
{
    if (!IsRow(row))
        return false;
    std::string_view& cell = m_rows[static_cast<std::size_t>(row)];
    // Copy first: text may be the row's own bytes.
    const std::string_view copy = Own(text);
    Release(cell);
    cell = copy;
    const QModelIndex changed = index(row, 0);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
    return true;
}

bool EntryModel::DeleteRow(int row)
{
    if (!IsRow(row))
        return false;
    beginRemoveRows({}, row, row);
    Release(m_rows[static_cast<std::size_t>(row)]);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    return true;
}

void EntryModel::ClearRows()
{
    beginResetModel();
    std::vector<std::string_view>().swap(m_rows);
    std::vector<std::shared_ptr<const void>>().swap(m_blocks);
    std::unordered_map<const char*, std::unique_ptr<char[]>>().swap(m_owned);
    endResetModel();
}

std::string_view EntryModel::Own(std::string_view text)
{
    if (text.empty())
        return {};
    std::unique_ptr<char[]> bytes(new char[text.size()]);
    std::memcpy(bytes.get(), text.data(), text.size());
    const std::string_view view(bytes.get(), text.size());
    m_owned.emplace(bytes.get(), std::move(bytes));
    return view;
}

void EntryModel::Release(std::string_view row)
{
    if (!row.empty())
        m_owned.erase(row.data());
}

bool EntryModel::IsRow(int row) const
{
    return row >= 0 && static_cast<std::size_t>(row) < m_rows.size();
}

}  // namespace ui
