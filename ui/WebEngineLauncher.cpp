#include "ui/WebEngineLauncher.h"

#include "ui/BrowserWindow.h"

CWebEngineLauncher::CWebEngineLauncher() = default;

CWebEngineLauncher::~CWebEngineLauncher()
{
    for (const auto& window : m_windows)
        delete window.data();
}

void CWebEngineLauncher::Navigate(const CBrowserPost& post)
{
    m_windows.removeAll(nullptr);
    auto* window = new CBrowserWindow;
    m_windows.append(window);
    window->show();
    window->Post(post);
}

QList<CBrowserWindow*> CWebEngineLauncher::OpenWindows() const
{
    QList<CBrowserWindow*> open;
    for (const auto& window : m_windows) {
        if (window)
            open.append(window.data());
    }
    return open;
}
