#include "app/TargetListModel.h"

#include "core/target/SubmitHost.h"
#include "ui/BodyKindCombo.h"

#include <utility>

CTargetListModel::CTargetListModel(QList<QIcon> images, QObject* parent)
    : CTargetList(parent)
    , m_images(std::move(images))
{
}

CTargetListModel::~CTargetListModel() = default;

QVariant CTargetListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= RowCount())
        return {};
    if (index.column() == UrlColumn && role == Qt::DecorationRole)
        return m_images.value(Image(index.row()));
    // Whole in the tooltip of a narrow column.
    if (index.column() == KindColumn && (role == Qt::DisplayRole || role == Qt::ToolTipRole)) {
        const std::shared_ptr<CSubmitHost> record = Record(index.row());
        return record ? CBodyKindCombo::KindName(record->m_strBodyKind) : QVariant();
    }
    return CTargetList::data(index, role);
}
