#include "app/TargetColumnFit.h"

#include "runs/TargetList.h"

CTargetColumnFit::CTargetColumnFit(QTableView* view)
    : CColumnFit(view, CTargetList::ResultColumn,
        {{CTargetList::UrlColumn, 1.0 / 3}, {CTargetList::KindColumn, 1.0 / 5},
            {CTargetList::ChangesColumn, 1.0 / 5}})
{
}
