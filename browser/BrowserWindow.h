#pragma once

#include <QMainWindow>
#include <QUrl>

#include <string>

struct CPostRequest;
class QAction;
class QLineEdit;
class QProgressBar;
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

    // Sends the request's exact body bytes and content type; returns without waiting.
    void Post(const CPostRequest& request);

    // The address a target's URL is loaded from: an http or https URL as it stands; any
    // other text names a server and path, as it does for a background post, so http.
    static QUrl TargetUrl(const std::string& url);

private:
    void OnUrlChanged(const QUrl& url);
    void OnOpenInWebBrowser();
    void ShowProgress(bool loading, int percent);

    QWebEngineView* m_view = nullptr;
    QLineEdit* m_addressEdit = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QAction* m_progressAction = nullptr;
    QAction* m_openAction = nullptr;
};
