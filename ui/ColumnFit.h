#pragma once

#include <QList>
#include <QObject>
#include <QSet>

class QTableView;

// A list's columns at the widths their texts ask for, so that the one that matters most is
// read whole: each column as wide as its widest text (of the rows Qt samples for a size hint,
// so a long list costs no more than a short one) up to its share of the list's width, and one
// column taking the room that is left, also when the list is resized. A column the user sets
// by hand keeps that width for as long as the view lives: later fits leave it alone.
//
// A fit is made when asked, never on its own: a list whose rows change on every result
// would otherwise keep moving under the user, and cost a measure each time.
class CColumnFit : public QObject
{
    Q_OBJECT

public:
    struct CShare
    {
        int m_column = 0;
        // The most of the list's width the column is given, as a fraction.
        double m_maxShare = 1.0;
    };

    // filling: the column that takes the rest; shares: the columns fitted to their texts.
    // The fit belongs to the view and goes with it.
    CColumnFit(QTableView* view, int filling, QList<CShare> shares);

    // Fits the columns to the rows the list holds now; a list not yet shown is fitted when it
    // is, to the width it opens with.
    void Fit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FitNow();
    void OnSectionResized(int column);

    QTableView* m_view;
    const int m_filling;
    const QList<CShare> m_shares;
    QSet<int> m_userSet;
    bool m_bPending = false;
    bool m_bFitting = false;
};
