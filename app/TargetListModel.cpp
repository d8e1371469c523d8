#include "app/TargetListModel.h"

#include <QString>

#include <algorithm>
#include <utility>

CTargetListModel::CTargetListModel(QList<QIcon> images, QObject* parent)
    : QAbstractTableModel(parent)
    , m_images(std::move(images))
{
}

CTargetListModel::~CTargetListModel() = default;

int CTargetListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowCount();
}

int CTargetListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant CTargetListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() != 0 || !IsRow(index.row()))
        return {};
    const Row& row = m_rows[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return QString::fromStdString(row.text);
    case Qt::DecorationRole:
        if (row.image >= 0 && row.image < m_images.size())
            return m_images[row.image];
        return {};
    default:
        return {};
    }
}

QVariant CTargetListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && section == 0 && role == Qt::DisplayRole)
        return QStringLiteral("Submit Url");
    return QAbstractTableModel::headerData(section, orientation, role);
}

quint64 CTargetListModel::AppendRow(std::shared_ptr<CSubmitHost> record)
{
    std::vector<std::shared_ptr<CSubmitHost>> records;
    records.push_back(std::move(record));
    AppendRows(std::move(records));
    return m_lastId;
}

void CTargetListModel::AppendRows(std::vector<std::shared_ptr<CSubmitHost>> records)
{
    if (records.empty())
        return;
    const int first = RowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(records.size()) - 1);
    m_rows.reserve(m_rows.size() + records.size());
    for (std::shared_ptr<CSubmitHost>& record : records) {
        Row added;
        added.text = record ? record->m_strUrl : std::string();
        added.record = std::move(record);
        added.id = ++m_lastId;
        m_rows.push_back(std::move(added));
    }
    endInsertRows();
}

void CTargetListModel::RemoveRow(int row)
{
    if (!IsRow(row))
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void CTargetListModel::Clear()
{
    if (m_rows.empty())
        return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

std::shared_ptr<CSubmitHost> CTargetListModel::Record(int row) const
{
    return IsRow(row) ? m_rows[static_cast<std::size_t>(row)].record : nullptr;
}

void CTargetListModel::SetImage(int row, int image)
{
    if (!IsRow(row))
        return;
    m_rows[static_cast<std::size_t>(row)].image = image;
    RowChanged(row, {Qt::DecorationRole});
}

int CTargetListModel::Image(int row) const
{
    return IsRow(row) ? m_rows[static_cast<std::size_t>(row)].image : -1;
}

void CTargetListModel::SetText(int row, std::string text)
{
    if (!IsRow(row))
        return;
    m_rows[static_cast<std::size_t>(row)].text = std::move(text);
    RowChanged(row, {Qt::DisplayRole, Qt::ToolTipRole});
}

std::string CTargetListModel::Text(int row) const
{
    return IsRow(row) ? m_rows[static_cast<std::size_t>(row)].text : std::string();
}

quint64 CTargetListModel::Id(int row) const
{
    return IsRow(row) ? m_rows[static_cast<std::size_t>(row)].id : 0;
}

int CTargetListModel::RowOfId(quint64 id) const
{
    // A result arriving for every row of a long list costs a binary search each.
    const auto byId = [](const Row& row, quint64 value) { return row.id < value; };
    const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), id, byId);
    return it != m_rows.end() && it->id == id ? static_cast<int>(it - m_rows.begin()) : -1;
}

void CTargetListModel::RowChanged(int row, const QList<int>& roles)
{
    const QModelIndex cell = index(row, 0);
    Q_EMIT dataChanged(cell, cell, roles);
}
