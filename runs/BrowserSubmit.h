#pragma once

#include "core/net/PostLimits.h"
#include "runs/SubmitRuns.h"
#include "runs/TargetList.h"

#include <QObject>
#include <QString>

class CBrowserLauncher;
class CSubmitHost;

// Submit's browser window for a target that posts its site's changes, or an IndexNow target:
// it opens on what Submit All would post next (an IndexNow target's first batch), after the
// key file's check and the source's read, and records nothing, since the answer is the
// browser's. A dry run over a copy of the target works that out, off the window's thread.
class CBrowserSubmit : public QObject
{
    Q_OBJECT

public:
    CBrowserSubmit(CBrowserLauncher* launcher, CPostSettings settings, QObject* parent = nullptr);

    // Works out what the target would post now and opens the browser window on it; a target
    // that would post nothing opens nothing, and Failed says why. A submit under way is
    // dropped.
    void Submit(const CSubmitHost& target);

Q_SIGNALS:
    void Failed(const QString& reason);

private:
    void OnDecided(int row);

    CBrowserLauncher* m_launcher;
    CTargetList m_target;
    CSubmitRuns m_dryRun;
    // The first post that would go opens the window; the others wait for Submit All.
    bool m_bOpened = false;
};
