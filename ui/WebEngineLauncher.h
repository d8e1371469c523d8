#pragma once

#include "core/BrowserLauncher.h"

#include <QList>
#include <QPointer>

class CBrowserWindow;

// The program's browser seam: each navigation opens a new CBrowserWindow. Windows still
// open when the launcher goes are closed with it, so no page outlives the application.
class CWebEngineLauncher : public CBrowserLauncher
{
public:
    CWebEngineLauncher();
    ~CWebEngineLauncher() override;

    void Navigate(const CBrowserPost& post) override;

    QList<CBrowserWindow*> OpenWindows() const;

private:
    QList<QPointer<CBrowserWindow>> m_windows;
};
