#pragma once

#include "runs/TargetList.h"

#include <QIcon>
#include <QList>

// The target list as the window shows it: each row's status image, and the body kinds by the
// names the Kind chooser gives them.
class CTargetListModel : public CTargetList
{
    Q_OBJECT

public:
    // images: the shared image list (ui/Resources.h); a row shows images[Image(row)].
    explicit CTargetListModel(QList<QIcon> images, QObject* parent = nullptr);
    ~CTargetListModel() override;

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    QList<QIcon> m_images;
};
