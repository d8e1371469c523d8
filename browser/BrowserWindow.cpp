#include "browser/BrowserWindow.h"

#include "core/net/Address.h"
#include "core/post/PostRequest.h"
#include "ui/Resources.h"
#include "ui/UrlOpener.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QToolBar>
#include <QWebEngineHttpRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

bool IsWebAddress(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

} // namespace

CBrowserWindow::CBrowserWindow(QWidget* parent)
    : QMainWindow(parent)
    , m_view(new QWebEngineView(this))
    , m_addressEdit(new QLineEdit(this))
    , m_progressBar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("browserWindow"));
    setWindowIcon(ProgramIcon());
    m_view->setObjectName(QStringLiteral("pageView"));
    setCentralWidget(m_view);

    //: Name of the tool bar with Back, Forward, Reload, Stop and the address
    QToolBar* toolBar = addToolBar(tr("Navigation"));
    toolBar->setObjectName(QStringLiteral("navigationToolBar"));
    toolBar->setMovable(false);
    // Everything the tool bar does is in the menu too, for the keyboard: its letters and the
    // keys browsers use.
    //: The browser window's one menu: what can be done with the page shown
    QMenu* pageMenu = menuBar()->addMenu(tr("&Page"));
    pageMenu->setObjectName(QStringLiteral("pageMenu"));
    AddNavigation(toolBar, pageMenu);
    pageMenu->addSeparator();

    m_addressEdit->setObjectName(QStringLiteral("addressEdit"));
    //: The web address of the page shown
    m_addressEdit->setAccessibleName(tr("Address"));
    m_addressEdit->setReadOnly(true);
    toolBar->addWidget(m_addressEdit);

    m_progressBar->setObjectName(QStringLiteral("loadProgressBar"));
    m_progressBar->setAccessibleName(tr("Page loading"));
    m_progressBar->setRange(0, 100);
    m_progressBar->setTextVisible(false);
    m_progressBar->setMaximumWidth(100);
    m_progressAction = toolBar->addWidget(m_progressBar);
    m_progressAction->setVisible(false);

    m_openAction = toolBar->addAction(tr("Open in &Web Browser"));
    toolBar->widgetForAction(m_openAction)
        ->setObjectName(QStringLiteral("openInBrowserToolButton"));
    pageMenu->addAction(m_openAction);
    m_openAction->setObjectName(QStringLiteral("openInBrowserAction"));
    m_openAction->setToolTip(tr("Open this address in your web browser. The page is fetched "
                                "again there, without the form."));
    m_openAction->setEnabled(false);

    //: Closes the window
    auto* closeAction = pageMenu->addAction(tr("&Close"));
    closeAction->setObjectName(QStringLiteral("closeAction"));
    closeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));

    connect(m_view, &QWebEngineView::titleChanged, this, &QWidget::setWindowTitle);
    connect(m_view, &QWebEngineView::urlChanged, this, &CBrowserWindow::OnUrlChanged);
    connect(m_view, &QWebEngineView::loadStarted, this, [this] { ShowProgress(true, 0); });
    connect(m_view, &QWebEngineView::loadProgress, this,
        [this](int percent) { ShowProgress(true, percent); });
    connect(m_view, &QWebEngineView::loadFinished, this, [this] { ShowProgress(false, 100); });
    connect(m_view->page(), &QWebEnginePage::windowCloseRequested, this, &QWidget::close);
    connect(m_openAction, &QAction::triggered, this, &CBrowserWindow::OnOpenInWebBrowser);
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    resize(1024, 768);
}

CBrowserWindow::~CBrowserWindow() = default;

void CBrowserWindow::AddNavigation(QToolBar* toolBar, QMenu* pageMenu)
{
    // The page's own actions know when they apply: Back only with history behind, Stop only
    // while loading.
    const struct
    {
        QWebEnginePage::WebAction action;
        const char* name;
        QString text;
        QKeySequence shortcut;
    } navigation[] = {
        {QWebEnginePage::Back, "back", tr("&Back"), QKeySequence::Back},
        {QWebEnginePage::Forward, "forward", tr("&Forward"), QKeySequence::Forward},
        {QWebEnginePage::Reload, "reload", tr("&Reload"), QKeySequence::Refresh},
        //: Stops loading the page
        {QWebEnginePage::Stop, "stop", tr("&Stop"), QKeySequence::Cancel},
    };
    for (const auto& [action, name, text, shortcut] : navigation) {
        QAction* pageAction = m_view->pageAction(action);
        pageAction->setObjectName(QLatin1String(name) + QStringLiteral("Action"));
        pageAction->setText(text);
        pageAction->setShortcut(shortcut);
        toolBar->addAction(pageAction);
        toolBar->widgetForAction(pageAction)
            ->setObjectName(QLatin1String(name) + QStringLiteral("ToolButton"));
        pageMenu->addAction(pageAction);
    }
}

QUrl CBrowserWindow::TargetUrl(const CAddress& address)
{
    // Never a local file or a script: CAddress takes web addresses only.
    if (!address.IsValid())
        return QUrl();
    const std::string& url = address.Url();
    return QUrl(QString::fromUtf8(url.data(), static_cast<qsizetype>(url.size())));
}

void CBrowserWindow::Post(const CPostRequest& request)
{
    const QUrl target = TargetUrl(request.m_address);
    if (!IsWebAddress(target))
        return;
    QWebEngineHttpRequest post(target);
    post.setMethod(QWebEngineHttpRequest::Post);
    post.setPostData(QByteArray::fromStdString(request.m_strBody));
    post.setHeader(
        QByteArrayLiteral("Content-Type"), QByteArray::fromStdString(request.m_strContentType));
    m_view->load(post);
}

void CBrowserWindow::OnUrlChanged(const QUrl& url)
{
    m_addressEdit->setText(QString::fromStdString(MaskPassword(url.toString().toStdString())));
    m_addressEdit->setCursorPosition(0);
    // Only web addresses go to the desktop; a page may have moved somewhere else.
    m_openAction->setEnabled(IsWebAddress(url));
}

void CBrowserWindow::OnOpenInWebBrowser()
{
    const QUrl url = m_view->url();
    if (IsWebAddress(url))
        CUrlOpener::Open(url.toString(QUrl::FullyEncoded));
}

void CBrowserWindow::ShowProgress(bool loading, int percent)
{
    m_progressBar->setValue(percent);
    m_progressAction->setVisible(loading);
}
