#pragma once

#include <QMainWindow>
#include <QUrl>

#include <string>

struct CBrowserRequest;
class QWebEngineView;

// The browser helper's window: performs one POST and shows the answer page. It takes the
// page's title and closes when the page asks.
class CBrowserWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit CBrowserWindow(QWidget* parent = nullptr);
    ~CBrowserWindow() override;

    // Sends the request's exact body bytes and header fields; returns without waiting.
    void Post(const CBrowserRequest& request);

    // The address a target's URL is loaded from: an http or https URL as it stands; any
    // other text names a server and path, as it does for a background post, so http.
    static QUrl TargetUrl(const std::string& url);

private:
    QWebEngineView* m_view = nullptr;
};
