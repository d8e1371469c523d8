#include "browser/BrowserWindow.h"

#include "core/BrowserRequest.h"
#include "ui/Resources.h"

#include <QWebEngineHttpRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

CBrowserWindow::CBrowserWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_view(new QWebEngineView(this))
{
    setObjectName(QStringLiteral("browserWindow"));
    m_view->setObjectName(QStringLiteral("pageView"));
    setCentralWidget(m_view);
    setWindowIcon(ProgramIcon());
    resize(1024, 768);
    connect(m_view, &QWebEngineView::titleChanged, this, &QWidget::setWindowTitle);
    connect(m_view->page(), &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
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

void CBrowserWindow::Post(const CBrowserRequest& request)
{
    QWebEngineHttpRequest post(TargetUrl(request.m_strUrl));
    post.setMethod(QWebEngineHttpRequest::Post);
    post.setPostData(QByteArray::fromStdString(request.m_body));
    for (const CBrowserRequest::Header& header : request.m_headers)
        post.setHeader(
            QByteArray::fromStdString(header.first), QByteArray::fromStdString(header.second));
    m_view->load(post);
}
