#include "app/ParamListModel.h"

#include "runs/TargetList.h"

#include <algorithm>
#include <utility>

CParamListModel::CParamListModel(QIcon image, QObject* parent)
    : QAbstractTableModel(parent)
    , m_image(std::move(image))
{
}

CParamListModel::~CParamListModel() = default;

int CParamListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_record ? m_rows.size() : m_released.size());
}

int CParamListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CParamListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    const CPostParam& param = m_record ? *m_rows[row] : m_released[row];
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
        return QString::fromStdString(
            index.column() == NameColumn ? param.m_strName : param.m_strValue);
    if (role == Qt::DecorationRole && index.column() == NameColumn)
        return m_image;
    return {};
}

QVariant CParamListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        if (section == NameColumn)
            return tr("Parameter Name");
        if (section == ValueColumn)
            return tr("Parameter Value");
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

void CParamListModel::SetRecord(std::shared_ptr<CSubmitHost> record)
{
    beginResetModel();
    m_record = std::move(record);
    m_released.clear();
    ReadPositions();
    endResetModel();
}

void CParamListModel::ReleaseRecord()
{
    if (!m_record)
        return;
    for (const CSubmitHost::ParamPosition& pos : m_rows)
        m_released.push_back(*pos);
    m_rows.clear();
    m_record.reset();
}

CPostParam CParamListModel::Param(int row) const
{
    if (row < 0 || row >= rowCount())
        return CPostParam();
    const auto at = static_cast<std::size_t>(row);
    return m_record ? *m_rows[at] : m_released[at];
}

void CParamListModel::AddParam(CPostParam param)
{
    if (!m_record)
        return;
    beginInsertRows(QModelIndex(), rowCount(), rowCount());
    m_record->AddParam(std::move(param));
    ReadPositions();
    endInsertRows();
}

bool CParamListModel::EditParam(const CPostParam& oldParam, CPostParam newParam)
{
    const int row = FirstMatch(oldParam);
    if (row < 0)
        return false;
    m_record->EditParam(oldParam, std::move(newParam));
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
    return true;
}

bool CParamListModel::DeleteParam(const CPostParam& param)
{
    const int row = FirstMatch(param);
    if (row < 0)
        return false;
    beginRemoveRows(QModelIndex(), row, row);
    m_record->DeleteParam(param);
    ReadPositions();
    endRemoveRows();
    return true;
}

void CParamListModel::DeleteAllParams()
{
    if (!m_record)
        return;
    beginResetModel();
    m_record->DeleteAllParams();
    m_rows.clear();
    endResetModel();
}

int CParamListModel::FirstMatch(const CPostParam& param) const
{
    const auto match = std::find_if(m_rows.begin(), m_rows.end(),
        [&param](const CSubmitHost::ParamPosition& pos) { return *pos == param; });
    return match == m_rows.end() ? -1 : static_cast<int>(match - m_rows.begin());
}

// On a walk of its own, leaving the record's cursor where it is.
void CParamListModel::ReadPositions()
{
    m_rows.clear();
    if (!m_record)
        return;
    CSubmitHost::ParamPosition pos;
    CPostParam param;
    for (bool more = m_record->GetFirstParam(pos, param); more;
         more = m_record->GetNextParam(pos, param))
        m_rows.push_back(std::prev(pos));
}

void CParamListModel::FollowTargets(const CTargetList& targets)
{
    connect(&targets, &QAbstractItemModel::rowsAboutToBeRemoved, this,
        [this, &targets](const QModelIndex&, int first, int last) {
            for (int row = first; row <= last; ++row) {
                if (targets.Record(row) == m_record)
                    ReleaseRecord();
            }
        });
    connect(
        &targets, &QAbstractItemModel::modelAboutToBeReset, this, &CParamListModel::ReleaseRecord);
}
