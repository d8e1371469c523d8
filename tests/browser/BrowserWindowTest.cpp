// The browser helper's window, in this process: what it posts and how it behaves.
#include "browser/BrowserWindow.h"
#include "core/BrowserLauncher.h"
#include "core/BrowserRequest.h"
#include "core/FormPoster.h"
#include "core/SubmitHost.h"
#include "tests/support/LocalServer.h"

#include <QApplication>
#include <QPointer>
#include <QTest>

#include <memory>

namespace {

// Keeps what Submit would hand the helper.
class LastPost : public CBrowserLauncher
{
public:
    void Navigate(const CBrowserPost& post) override { m_post = post; }
    CBrowserPost m_post;
};

CScriptedReply Page(const std::string& body)
{
    return CScriptedReply::Status(200, body, "Content-Type: text/html\r\n");
}

} // namespace

class BrowserWindowTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void postsExactBodyAndHeader();
    void closesWhenPageAsks();
    void targetUrl_data();
    void targetUrl();
};

void BrowserWindowTest::postsExactBodyAndHeader()
{
    CLocalServer server([](const CRecordedRequest&) {
        return Page("<html><head><title>Thanks</title></head></html>");
    });
    LastPost launcher;
    CSubmitHost host;
    host.m_strUrl = server.Url("cgi/submit?u=1");
    host.AddParam(CPostParam("furl", "see: a/b?c=1"));
    host.AddParam(CPostParam("x y", "\xC3\xA9 2"));
    QVERIFY(CFormPoster(&launcher).SubmitInBrowser(host));

    CBrowserWindow window;
    window.show();
    window.Post(CBrowserRequest::FromPost(launcher.m_post));
    QTRY_VERIFY_WITH_TIMEOUT(!server.Requests().empty(), 60000);
    const CRecordedRequest request = server.Requests().front();
    QCOMPARE(QByteArray::fromStdString(request.m_requestLine),
        QByteArray("POST /cgi/submit?u=1 HTTP/1.1"));
    QCOMPARE(QByteArray::fromStdString(request.Header("Content-Type")),
        QByteArray("application/x-www-form-urlencoded"));
    QCOMPARE(QByteArray::fromStdString(request.m_body),
        QByteArray("furl=see%3A%20a%2Fb%3Fc%3D1&x y=%C3%A9%202"));
    QTRY_COMPARE_WITH_TIMEOUT(window.windowTitle(), QStringLiteral("Thanks"), 60000);
}

void BrowserWindowTest::closesWhenPageAsks()
{
    CLocalServer server([](const CRecordedRequest&) {
        return Page("<html><body><script>window.close()</script></body></html>");
    });
    auto* window = new CBrowserWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<CBrowserWindow> guard(window);
    window->show();
    CBrowserRequest request;
    request.m_strUrl = server.Url("bye");
    window->Post(request);
    QTRY_VERIFY_WITH_TIMEOUT(guard.isNull(), 60000);
}

void BrowserWindowTest::targetUrl_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("loaded");
    QTest::newRow("http kept whole") << "http://Host.example:8080/a%20b?q=1#f"
                                     << "http://host.example:8080/a%20b?q=1#f";
    QTest::newRow("https kept whole") << "https://secure.example/submit"
                                      << "https://secure.example/submit";
    QTest::newRow("no scheme means http") << "host.example/path"
                                          << "http://host.example/path";
    QTest::newRow("server with port") << "host.example:81/x"
                                      << "http://host.example:81/x";
    QTest::newRow("no local file") << "/etc/passwd"
                                   << "";
    QTest::newRow("no script") << "javascript:alert(1)"
                               << "";
}

void BrowserWindowTest::targetUrl()
{
    QFETCH(QString, stored);
    QFETCH(QString, loaded);
    const QUrl url = CBrowserWindow::TargetUrl(stored.toStdString());
    if (loaded.isEmpty())
        QVERIFY2(url.scheme() == QLatin1String("http") && (url.host().isEmpty() || !url.isValid()),
            qPrintable(url.toString()));
    else
        QCOMPARE(url.toString(QUrl::FullyEncoded), loaded);
}

int main(int argc, char** argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    BrowserWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "BrowserWindowTest.moc"
