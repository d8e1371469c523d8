#pragma once

#include <QMainWindow>
#include <QUrl>

#include <string>

class CAddress;
struct CPostRequest;
class QAction;
class QLineEdit;
class QMenu;
class QProgressBar;
class QToolBar;
class QWebEngineView;

// The browser helper's window: performs one POST and shows the answer page, with what a
// user expects around a page: the page's title as the window's, Back, Forward, Reload,
// Stop, the current address (read only), the load's progress, and "Open in Web Browser".
// It closes on Ctrl+W and when the page asks.
class CBrowserWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit CBrowserWindow(QWidget* parent = nullptr);
    ~CBrowserWindow() override;

    // Sends the request's exact body bytes and content type; returns without waiting. A
    // request whose address is not valid loads nothing.
    void Post(const CPostRequest& request);

    // The address a request posts to: its address as libcurl gave it back, so the window
    // posts where a background post goes. Empty for an address that is not valid.
    static QUrl TargetUrl(const CAddress& address);

private:
    // Back, Forward, Reload and Stop, in the tool bar and the menu alike.
    void AddNavigation(QToolBar* toolBar, QMenu* pageMenu);
    void OnUrlChanged(const QUrl& url);
    void OnOpenInWebBrowser();
    void ShowProgress(bool loading, int percent);

    QWebEngineView* m_view = nullptr;
    QLineEdit* m_addressEdit = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QAction* m_progressAction = nullptr;
    QAction* m_openAction = nullptr;
};
