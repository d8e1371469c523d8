#pragma once

#include "core/net/PostLimits.h"
#include "core/post/PostResult.h"
#include "core/run/ChangeWorker.h"
#include "runs/RunPreparation.h"

#include <QObject>
#include <QString>

#include <cstdint>

class CBrowserLauncher;
class CSubmitHost;

// Submit's browser window for a target that posts its site's changes, or an IndexNow target:
// it opens on what Submit All would post next (an IndexNow target's first batch), after the
// key file's check and the source's read, and records nothing, since the answer is the
// browser's. A dry preparation of a copy of the target works that out, off the window's
// thread.
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
    void OnPrepared(const CChangeWorker::CPrepared& prepared);

    CBrowserLauncher* m_launcher;
    CRunPreparation m_preparation;
    // The submit under way, by its preparation's id; 0 for none.
    std::uint64_t m_id = 0;
    std::uint64_t m_lastId = 0;
    // What the target held, for the reason it posts nothing.
    CPostResult m_noted;
};
