#include "runs/TargetList.h"

#include "core/net/Address.h"
#include "core/text/TimeText.h"
#include "runs/ResultText.h"
#include "runs/StatusImage.h"

#include <QString>

#include <algorithm>
#include <utility>

CTargetList::CTargetList(QObject* parent)
    : QAbstractTableModel(parent)
{
}

CTargetList::~CTargetList() = default;

int CTargetList::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowCount();
}

int CTargetList::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CTargetList::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !IsRow(index.row()))
        return {};
    const CRow& row = m_rows[static_cast<std::size_t>(index.row())];
    if (index.column() == ResultColumn) {
        if (!row.m_result)
            return {};
        if (role == Qt::DisplayRole)
            return CResultText::Summary(*row.m_result);
        if (role == Qt::ToolTipRole) {
            const QString details = CResultText::Details(*row.m_result);
            return details.isEmpty() ? QVariant() : details;
        }
        return {};
    }
    // The kinds' names are the window's.
    if (index.column() == KindColumn)
        return {};
    // The address and the sitemap or feed as written, whole in the tooltip of a narrow
    // column; a password in either is never shown (the fields hold it for editing).
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    if (!row.m_record)
        return QString();
    if (index.column() == ChangesColumn)
        return QString::fromStdString(
            MaskPassword(row.m_record->m_strChanges.value_or(std::string())));
    const QString url = QString::fromStdString(MaskPassword(row.m_record->m_strUrl));
    if (role != Qt::ToolTipRole || !row.m_lastSuccess)
        return url;
    if (!*row.m_lastSuccess)
        //: A target's tooltip, after its address: the record of posts holds no success of it
        return tr("%1\nNever succeeded").arg(url);
    //: A target's tooltip, after its address: when it last succeeded, as "8 Dec 2026 14:02"
    return tr("%1\nLast success: %2")
        .arg(url, CResultText::Translated(LocalTime(**row.m_lastSuccess)));
}

void CTargetList::SetLastSuccess(
    quint64 id, std::optional<std::chrono::system_clock::time_point> lastSuccess)
{
    const int row = RowOfId(id);
    if (!IsRow(row))
        return;
    m_rows[static_cast<std::size_t>(row)].m_lastSuccess = lastSuccess;
    EmitRowChanged(row, {Qt::ToolTipRole});
}

QVariant CTargetList::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        if (section == UrlColumn)
            //: Heading of the column of the targets' addresses
            return tr("Submit Url");
        if (section == ResultColumn)
            //: Heading of the column of what each target's last post came to
            return tr("Result");
        if (section == KindColumn)
            //: Heading of the column of how each target's parameters are posted
            return tr("Kind");
        if (section == ChangesColumn)
            //: Heading of the column of the sitemap or feed each target posts the site's
            //: changes from
            return tr("Changes from");
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

quint64 CTargetList::AppendRow(std::shared_ptr<CSubmitHost> record)
{
    std::vector<std::shared_ptr<CSubmitHost>> records;
    records.push_back(std::move(record));
    AppendRows(std::move(records));
    return m_lastId;
}

void CTargetList::AppendRows(std::vector<std::shared_ptr<CSubmitHost>> records)
{
    if (records.empty())
        return;
    const int first = RowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(records.size()) - 1);
    // Geometric growth: a row appended at a time by Add must not move every row each time.
    const std::size_t needed = m_rows.size() + records.size();
    if (needed > m_rows.capacity())
        m_rows.reserve(std::max(needed, 2 * m_rows.capacity()));
    for (std::shared_ptr<CSubmitHost>& record : records) {
        CRow added;
        added.m_record = std::move(record);
        added.m_id = ++m_lastId;
        m_rows.push_back(std::move(added));
    }
    endInsertRows();
}

void CTargetList::ReserveRows(std::size_t rows)
{
    m_rows.reserve(rows);
}

void CTargetList::RemoveRow(int row)
{
    if (!IsRow(row))
        return;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

void CTargetList::Clear()
{
    if (m_rows.empty())
        return;
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

std::shared_ptr<CSubmitHost> CTargetList::Record(int row) const
{
    return IsRow(row) ? m_rows[static_cast<std::size_t>(row)].m_record : nullptr;
}

std::vector<std::shared_ptr<CSubmitHost>> CTargetList::Records() const
{
    std::vector<std::shared_ptr<CSubmitHost>> records;
    records.reserve(m_rows.size());
    for (const CRow& row : m_rows)
        records.push_back(row.m_record);
    return records;
}

void CTargetList::SetResult(int row, CPostResult result)
{
    if (!IsRow(row))
        return;
    std::unique_ptr<CPostResult>& kept = m_rows[static_cast<std::size_t>(row)].m_result;
    if (kept)
        *kept = std::move(result);
    else
        kept = std::make_unique<CPostResult>(std::move(result));
    EmitRowChanged(row, {Qt::DecorationRole, Qt::DisplayRole, Qt::ToolTipRole});
}

const CPostResult* CTargetList::Result(int row) const
{
    if (!IsRow(row))
        return nullptr;
    return m_rows[static_cast<std::size_t>(row)].m_result.get();
}

void CTargetList::ClearResult(int row)
{
    if (!IsRow(row))
        return;
    m_rows[static_cast<std::size_t>(row)].m_result.reset();
    EmitRowChanged(row, {Qt::DecorationRole, Qt::DisplayRole, Qt::ToolTipRole});
}

void CTargetList::ClearResults()
{
    if (m_rows.empty())
        return;
    for (CRow& row : m_rows)
        row.m_result.reset();
    Q_EMIT dataChanged(index(0, 0), index(RowCount() - 1, ColumnCount - 1),
        {Qt::DecorationRole, Qt::DisplayRole, Qt::ToolTipRole});
}

bool CTargetList::HasResults() const
{
    return std::any_of(
        m_rows.begin(), m_rows.end(), [](const CRow& row) { return row.m_result != nullptr; });
}

int CTargetList::Image(int row) const
{
    if (!IsRow(row))
        return -1;
    const CPostResult* result = Result(row);
    if (!result || !result->IsFinal())
        return ImageNotPosted;
    if (IsFailure(result->m_outcome))
        return ImageFailed;
    // Nothing to post is no failure, and no success either.
    return result->Succeeded() ? ImageSucceeded : ImageNotPosted;
}

void CTargetList::SetText(int row, std::string text)
{
    if (!IsRow(row))
        return;
    if (const std::shared_ptr<CSubmitHost>& record = m_rows[static_cast<std::size_t>(row)].m_record)
        record->m_strUrl = std::move(text);
    EmitRowChanged(row, {Qt::DisplayRole, Qt::ToolTipRole});
}

void CTargetList::SetBodyKind(int row, std::optional<std::string> kind)
{
    if (!IsRow(row))
        return;
    if (const std::shared_ptr<CSubmitHost>& record = m_rows[static_cast<std::size_t>(row)].m_record)
        record->m_strBodyKind = std::move(kind);
    EmitRowChanged(row, {Qt::DisplayRole});
}

void CTargetList::SetChanges(int row, std::optional<std::string> changes)
{
    if (!IsRow(row))
        return;
    if (const std::shared_ptr<CSubmitHost>& record = m_rows[static_cast<std::size_t>(row)].m_record)
        record->m_strChanges = std::move(changes);
    EmitRowChanged(row, {Qt::DisplayRole, Qt::ToolTipRole});
}

void CTargetList::SetCheckPages(int row, bool check)
{
    const std::shared_ptr<CSubmitHost> record = Record(row);
    if (!record || record->m_bCheckPages == check)
        return;
    record->m_bCheckPages = check;
    record->m_strCheckUnknown.reset();
}

std::string CTargetList::Text(int row) const
{
    const std::shared_ptr<CSubmitHost> record = Record(row);
    return record ? record->m_strUrl : std::string();
}

quint64 CTargetList::Id(int row) const
{
    return IsRow(row) ? m_rows[static_cast<std::size_t>(row)].m_id : 0;
}

int CTargetList::RowOfId(quint64 id) const
{
    // A result arriving for every row of a long list costs a binary search each.
    const auto byId = [](const CRow& row, quint64 value) { return row.m_id < value; };
    const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), id, byId);
    return it != m_rows.end() && it->m_id == id ? static_cast<int>(it - m_rows.begin()) : -1;
}

void CTargetList::EmitRowChanged(int row, const QList<int>& roles)
{
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1), roles);
}
