#pragma once

#include <QUrl>
#include <QWebEngineView>

#include <string>

struct CBrowserPost;

// A top-level browser window of its own: performs one POST and shows the answer. It takes
// the page's title, closes when the page asks, and frees itself once closed.
class CBrowserWindow : public QWebEngineView
{
    Q_OBJECT

public:
    explicit CBrowserWindow(QWidget* parent = nullptr);
    ~CBrowserWindow() override;

    // Sends the post's exact body bytes and header lines; returns without waiting.
    void Post(const CBrowserPost& post);

    // The address a target's URL is loaded from: an http or https URL as it stands; any
    // other text names a server and path, as it does for a background post, so http.
    static QUrl TargetUrl(const std::string& url);
};
