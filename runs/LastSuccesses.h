#pragma once

#include <QObject>

class CRunPreparation;
class CTargetList;

// When the rows' targets last succeeded, as the record says, for their tooltips: asked for
// rows as they come and for every row after a run that posted, a query per row.
class CLastSuccesses : public QObject
{
    Q_OBJECT

public:
    CLastSuccesses(CTargetList& targets, CRunPreparation& preparation, QObject* parent = nullptr);

    // Off, nothing is asked (the command line has no tooltips).
    void SetShown(bool shown) { m_bShown = shown; }
    // Has the record say when the targets of these rows last succeeded.
    void Ask(int first, int last);

private:
    CTargetList& m_targets;
    CRunPreparation& m_preparation;
    bool m_bShown = true;
};
