#include "ui/BrowserWindow.h"

#include "core/BrowserLauncher.h"

#include <QWebEngineHttpRequest>
#include <QWebEnginePage>

CBrowserWindow::CBrowserWindow(QWidget* parent)
    : QWebEngineView(parent)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("browserWindow"));
    resize(1024, 768);
    connect(this, &QWebEngineView::titleChanged, this, &QWidget::setWindowTitle);
    connect(page(), &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
}

CBrowserWindow::~CBrowserWindow() = default;

QUrl CBrowserWindow::TargetUrl(const std::string& url)
{
    const QString text = QString::fromUtf8(url.data(), static_cast<qsizetype>(url.size()));
    const QUrl whole(text, QUrl::TolerantMode);
    const QString scheme = whole.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return whole;
    // Never a local file or a script: the window is there to post to a web service.
    return QUrl(QStringLiteral("http://") + text, QUrl::TolerantMode);
}

void CBrowserWindow::Post(const CBrowserPost& post)
{
    QWebEngineHttpRequest request(TargetUrl(post.m_strUrl));
    request.setMethod(QWebEngineHttpRequest::Post);
    request.setPostData(
        QByteArray(post.m_postData.data(), static_cast<qsizetype>(post.m_postData.size())));

    // Header text is "Name: value" lines, each ended by CR LF.
    const QByteArray headers = QByteArray::fromStdString(post.m_strHeaders);
    for (const QByteArray& line : headers.split('\n')) {
        const QByteArray field = line.endsWith('\r') ? line.chopped(1) : line;
        const qsizetype colon = field.indexOf(':');
        if (colon <= 0)
            continue;
        request.setHeader(field.left(colon).trimmed(), field.mid(colon + 1).trimmed());
    }
    load(request);
}
