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
    case ImageRole:
        return row.image;
    case IdRole:
        return row.id;
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

quint64 CTargetListModel::InsertRow(int row, std::string text, int image)
{
    row = std::clamp(row, 0, RowCount());
    Row added;
    added.text = std::move(text);
    added.image = image;
    added.id = ++m_lastId;
    // The new id is the largest so far: appending keeps the ids in row order.
    m_idsInRowOrder = m_idsInRowOrder && row == RowCount();
    beginInsertRows(QModelIndex(), row, row);
    m_rows.insert(m_rows.begin() + row, std::move(added));
    endInsertRows();
    return m_lastId;
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
    m_idsInRowOrder = true;
    endResetModel();
}

void CTargetListModel::SetRecord(int row, std::shared_ptr<CSubmitHost> record)
{
    if (IsRow(row))
        m_rows[static_cast<std::size_t>(row)].record = std::move(record);
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
    RowChanged(row, {Qt::DecorationRole, ImageRole});
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
    // Rows are normally appended, so the ids stand in row order and a result arriving for
    // every row of a long list costs a binary search each rather than a scan.
    if (m_idsInRowOrder) {
        const auto byId = [](const Row& row, quint64 value) { return row.id < value; };
        const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), id, byId);
        return it != m_rows.end() && it->id == id ? static_cast<int>(it - m_rows.begin()) : -1;
    }
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].id == id)
            return static_cast<int>(i);
    }
    return -1;
}

void CTargetListModel::RowChanged(int row, const QList<int>& roles)
{
    const QModelIndex cell = index(row, 0);
    Q_EMIT dataChanged(cell, cell, roles);
}
