#include "ui/ColumnFit.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>

#include <algorithm>
#include <utility>

CColumnFit::CColumnFit(QTableView* view, int filling, QList<CShare> shares)
    : QObject(view)
    , m_view(view)
    , m_filling(filling)
    , m_shares(std::move(shares))
{
    QHeaderView* header = m_view->horizontalHeader();
    // The filling column, not the last one, takes what the list has beyond the others.
    header->setStretchLastSection(false);
    header->setResizeContentsPrecision(200);
    header->setSectionResizeMode(m_filling, QHeaderView::Stretch);
    connect(header, &QHeaderView::sectionResized, this,
        [this](int column, int, int) { OnSectionResized(column); });
    m_view->installEventFilter(this);
}

void CColumnFit::Fit()
{
    m_bPending = true;
    if (m_view->isVisible())
        FitNow();
}

bool CColumnFit::eventFilter(QObject* watched, QEvent* event)
{
    // Shown, the list has the width it opens with: its viewport is laid out by then.
    if (watched == m_view && event->type() == QEvent::Show && m_bPending)
        FitNow();
    return QObject::eventFilter(watched, event);
}

void CColumnFit::FitNow()
{
    m_bPending = false;
    QHeaderView* header = m_view->horizontalHeader();
    const int room = m_view->viewport()->width();
    // sizeHintForColumn is the table's own measure of a column's cells, over at most the
    // header's resizeContentsPrecision rows; public only on the item view.
    const QAbstractItemView* cells = m_view;
    m_bFitting = true;
    for (const CShare& share : m_shares) {
        if (m_userSet.contains(share.m_column))
            continue;
        const int wanted = std::max(
            cells->sizeHintForColumn(share.m_column), header->sectionSizeHint(share.m_column));
        const int most = std::max(header->minimumSectionSize(), int(room * share.m_maxShare));
        header->resizeSection(share.m_column, std::min(wanted, most));
    }
    m_bFitting = false;
}

void CColumnFit::OnSectionResized(int column)
{
    // The filling column follows the others and the list's width; any other column resized
    // but by a fit was resized by the user.
    if (!m_bFitting && column != m_filling)
        m_userSet.insert(column);
}
