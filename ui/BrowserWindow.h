#pragma once

#include <QWebEngineView>

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
};
