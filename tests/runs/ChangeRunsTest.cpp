// Runs of targets that post what changed on their site, against a local site and service:
// what each run sends, what it records, and what it refuses to send blind.
//
// Faults these catch:
//   an IndexNow first run that posts the whole site     | baseline row
//   a run that posts again when nothing changed         | unchanged rows (IndexNow and ping)
//   a new or re-dated address not sent, or sent twice   | new / re-dated rows
//   a failed post recorded as sent (never retried)      | failure row
//   another host's address sent to IndexNow             | every IndexNow row's body
//   a batch over 10,000 addresses, or a lost last one   | batches
//   a post made though the source or key file failed    | refusal rows
//   a target judged by another's key in a shared file   | each target its own key
//   a dry run that posts, records, or hides the body    | dry run
//   Submit's window on the list's urlList, or on nothing | browser submit
//   a tooltip that misses a success, or invents one     | ping
//   a success not recorded, said nowhere (sent again)   | unrecorded rows
//   a write that gives up at once on another's lock     | "record locked"
//   a post log silent on what was not recorded          | "record full"
//   a first run counted as unchanged, "1 addresses"     | baseline row, dry run
//   a page announced that is gone, moved, noindex,      | pageChecks rows
//     canonical elsewhere or disallowed; a check that
//     failed recorded (never checked again)
//   a removal announced from a cut source, or a page    | removals
//     still there announced as removed
//   more checks than the cap, or the rest never checked | checksCapped
//   a check under Stop recorded as a verdict            | stopDuringChecks
//   what a run sent, removed or left out not in the log | removals, pageChecks rows
#include "core/history/PostHistory.h"
#include "core/post/PostRequest.h"
#include "core/post/PostResult.h"
#include "core/system/BrowserLauncher.h"
#include "core/target/SubmitHost.h"
#include "runs/BrowserSubmit.h"
#include "runs/DryRun.h"
#include "runs/SubmitRuns.h"
#include "runs/TargetList.h"
#include "tests/support/LocalServer.h"
#include "tests/support/RecordLock.h"

#include <algorithm>
#include <map>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace {

const char* const Key = "0123456789abcdef0123456789abcdef";

// A site with a sitemap, its key file and an IndexNow endpoint, whose answers a test changes.
class CSite
{
public:
    CSite()
        : m_server([this](const CRecordedRequest& request) { return Answer(request); })
    {
    }

    std::string Url(const std::string& path) const { return m_server.Url(path); }
    std::string Host() const { return "127.0.0.1:" + std::to_string(m_server.Port()); }

    // The sitemap's addresses: (path, lastmod or "").
    void SetPages(const std::vector<std::pair<std::string, std::string>>& pages)
    {
        std::string xml = "<?xml version=\"1.0\"?><urlset "
                          "xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">";
        for (const auto& [path, date] : pages) {
            xml += "<url><loc>" + (path.rfind("http", 0) == 0 ? path : Url(path)) + "</loc>";
            if (!date.empty())
                xml += "<lastmod>" + date + "</lastmod>";
            xml += "</url>";
        }
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_sitemap = xml + "</urlset>";
    }
    void SetSitemapStatus(int status) { Set(m_sitemapStatus, status); }
    void SetKey(std::string key) { Set(m_key, std::move(key)); }
    void SetServiceStatus(int status) { Set(m_serviceStatus, status); }
    // How the site answers a page (or robots.txt) at path; a page not set is a plain 200, and
    // robots.txt not set answers 404.
    void SetPage(const std::string& path, CScriptedReply reply)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_pages[path] = std::move(reply);
    }
    // The page answers never come, as a stuck site's would not.
    void HoldPages(bool hold) { Set(m_bHold, hold); }
    // Some page was asked for while held.
    bool PageAsked() const
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_bAsked;
    }

    // The posts the service received since the last call, oldest first.
    std::vector<CRecordedRequest> TakePosts()
    {
        std::vector<CRecordedRequest> posts;
        for (const CRecordedRequest& request : m_server.Requests()) {
            if (request.m_requestLine.rfind("POST", 0) == 0)
                posts.push_back(request);
        }
        std::vector<CRecordedRequest> fresh(posts.begin() + static_cast<long>(m_seen), posts.end());
        m_seen = posts.size();
        return fresh;
    }
    std::size_t Fetches(const std::string& path) const
    {
        std::size_t count = 0;
        for (const CRecordedRequest& request : m_server.Requests())
            count += request.m_requestLine.rfind("GET /" + path + " ", 0) == 0;
        return count;
    }

private:
    template <typename T> void Set(T& member, T value)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        member = std::move(value);
    }
    CScriptedReply Answer(const CRecordedRequest& request)
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (request.m_requestLine.rfind("GET /sitemap.xml ", 0) == 0)
            return CScriptedReply::Status(
                m_sitemapStatus, m_sitemap, "Content-Type: application/xml\r\n");
        if (request.m_requestLine.rfind("GET /key.txt ", 0) == 0)
            return CScriptedReply::Status(200, m_key, "Content-Type: text/plain\r\n");
        // Pages are served as a site serves them; posts go to the service.
        if (request.m_requestLine.rfind("GET /", 0) == 0) {
            const std::size_t end = request.m_requestLine.find(' ', 5);
            const std::string path = request.m_requestLine.substr(5, end - 5);
            if (m_bHold) {
                m_bAsked = true;
                return CScriptedReply::Hang();
            }
            const auto page = m_pages.find(path);
            if (page != m_pages.end())
                return page->second;
            if (path == "robots.txt")
                return CScriptedReply::Status(404);
            return CScriptedReply::Status(200, "<html><head><title>A page</title></head></html>",
                "Content-Type: text/html\r\n");
        }
        return CScriptedReply::Status(m_serviceStatus);
    }

    mutable std::mutex m_mutex;
    std::string m_sitemap;
    int m_sitemapStatus = 200;
    std::string m_key = Key;
    int m_serviceStatus = 200;
    std::map<std::string, CScriptedReply> m_pages;
    bool m_bHold = false;
    bool m_bAsked = false;
    std::size_t m_seen = 0;
    CLocalServer m_server;
};

// The bodies Submit would open browser windows on.
class CBodies : public CBrowserLauncher
{
public:
    void Navigate(const CPostRequest& request) override { m_bodies.push_back(request.m_strBody); }
    std::vector<std::string> m_bodies;
};

std::vector<std::string> UrlListOf(const CRecordedRequest& post)
{
    std::vector<std::string> list;
    const nlohmann::json body = nlohmann::json::parse(post.m_body);
    for (const auto& address : body.at("urlList"))
        list.push_back(address.get<std::string>());
    return list;
}

} // namespace

class ChangeRunsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void indexNowPostsOnlyWhatChanged();
    void pingPostsWhenTheSiteChanged();
    void batchesOfTenThousand();
    void dryRunSendsAndRecordsNothing();
    void browserSubmitOpensOnTheChanges();
    void nothingIsPostedBlind_data();
    void nothingIsPostedBlind();
    void eachTargetItsOwnKey();
    void unrecordedSuccessIsSaid_data();
    void unrecordedSuccessIsSaid();
    void pageChecks_data();
    void pageChecks();
    void removals();
    void noRemovalsFromACutSource();
    void writtenUrlListIsChecked();
    void checksCapped();
    void stopDuringChecks();

private:
    // The page's story in the post log, newest first: "fate reason" each.
    QStringList PageLog(const std::string& page);
    std::shared_ptr<CSubmitHost> IndexNowTarget() const;
    // One Submit All over the list; the rows' results after it.
    std::vector<CPostResult> Run();

    std::unique_ptr<QTemporaryDir> m_state;
    std::unique_ptr<CSite> m_site;
    std::unique_ptr<CTargetList> m_targets;
    std::unique_ptr<CSubmitRuns> m_runs;
};

void ChangeRunsTest::init()
{
    // Each test keeps its record of what was sent in a state folder of its own.
    m_state = std::make_unique<QTemporaryDir>();
    qputenv("XDG_STATE_HOME", m_state->path().toLocal8Bit());
    m_site = std::make_unique<CSite>();
    m_targets = std::make_unique<CTargetList>();
    m_runs = std::make_unique<CSubmitRuns>(*m_targets, CPostSettings());
}

void ChangeRunsTest::cleanup()
{
    m_runs.reset();
    m_targets.reset();
    m_site.reset();
    m_state.reset();
}

std::shared_ptr<CSubmitHost> ChangeRunsTest::IndexNowTarget() const
{
    auto target = std::make_shared<CSubmitHost>();
    target->m_strUrl = m_site->Url("indexnow");
    target->m_strBodyKind = "json";
    target->m_strChanges = m_site->Url("sitemap.xml");
    target->AddParam(CPostParam("host", m_site->Host()));
    target->AddParam(CPostParam("key", Key));
    target->AddParam(CPostParam("keyLocation", m_site->Url("key.txt")));
    target->AddParam(CPostParam("urlList[]", m_site->Url("home")));
    return target;
}

std::vector<CPostResult> ChangeRunsTest::Run()
{
    m_runs->SubmitAll();
    [&] { QTRY_VERIFY_WITH_TIMEOUT(!m_runs->IsPosting(), 60000); }();
    std::vector<CPostResult> results;
    for (int row = 0; row < m_targets->RowCount(); ++row)
        results.push_back(m_targets->Result(row) ? *m_targets->Result(row) : CPostResult());
    return results;
}

// A first run records the site; later runs send what is new or re-dated on the target's host,
// once, and a failed post is sent again.
void ChangeRunsTest::indexNowPostsOnlyWhatChanged()
{
    m_targets->AppendRows({IndexNowTarget()});
    m_site->SetPages({{"a", "2026-12-01"}, {"b", ""}});

    auto results = Run();
    QCOMPARE(results[0].m_outcome, PostOutcome::Baseline);
    QCOMPARE(results[0].m_reason.English(),
        std::string("Recorded 2 addresses; changes from now on are posted"));
    QVERIFY2(m_runs->StatusText().endsWith(" · 1 recorded"), qPrintable(m_runs->StatusText()));
    QVERIFY(m_site->TakePosts().empty());

    results = Run();
    QCOMPARE(results[0].m_outcome, PostOutcome::Unchanged);
    QVERIFY2(m_runs->StatusText().endsWith(" · 1 unchanged"), qPrintable(m_runs->StatusText()));
    QVERIFY(m_site->TakePosts().empty());

    // New, re-dated, undated and old, and one on another host.
    m_site->SetPages(
        {{"a", "2026-12-05"}, {"b", ""}, {"c", ""}, {"http://other.example/d", "2026-12-05"}});
    m_site->SetServiceStatus(500);
    results = Run();
    QCOMPARE(results[0].m_outcome, PostOutcome::Failed);
    auto posts = m_site->TakePosts();
    QCOMPARE(posts.size(), std::size_t(1));
    const std::vector<std::string> changed = {m_site->Url("a"), m_site->Url("c")};
    QCOMPARE(UrlListOf(posts[0]), changed);

    // Not recorded as sent: the next run sends the same.
    m_site->SetServiceStatus(200);
    results = Run();
    QCOMPARE(results[0].m_outcome, PostOutcome::Succeeded);
    QCOMPARE(results[0].m_addresses, std::size_t(2));
    posts = m_site->TakePosts();
    QCOMPARE(posts.size(), std::size_t(1));
    QCOMPARE(UrlListOf(posts[0]), changed);

    results = Run();
    QCOMPARE(results[0].m_outcome, PostOutcome::Unchanged);
    QVERIFY(m_site->TakePosts().empty());
    // One key check and one sitemap read a run.
    QCOMPARE(m_site->Fetches("key.txt"), std::size_t(5));
}

// A ping posts as it always did, but only after its site changed; its first run posts once.
void ChangeRunsTest::pingPostsWhenTheSiteChanged()
{
    auto ping = std::make_shared<CSubmitHost>();
    ping->m_strUrl = m_site->Url("ping");
    ping->m_strChanges = m_site->Url("sitemap.xml");
    ping->AddParam(CPostParam("url", "http://www.site.test/"));
    m_targets->AppendRows({ping});
    m_site->SetPages({{"a", "2026-12-01"}});
    const auto tip = [this] {
        return m_targets->index(0, CTargetList::UrlColumn).data(Qt::ToolTipRole).toString();
    };
    QTRY_VERIFY(tip().endsWith("\nNever succeeded"));

    const CPostResult first = Run()[0];
    QVERIFY2(first.Succeeded(), first.m_reason.English().c_str());
    QCOMPARE(m_site->TakePosts().size(), std::size_t(1));
    QTRY_VERIFY(tip().contains("\nLast success: "));
    QCOMPARE(Run()[0].m_outcome, PostOutcome::Unchanged);
    QVERIFY(m_site->TakePosts().empty());
    m_site->SetPages({{"a", "2026-12-02"}});
    QCOMPARE(Run()[0].m_outcome, PostOutcome::Succeeded);
    const auto posts = m_site->TakePosts();
    QCOMPARE(posts.size(), std::size_t(1));
    QCOMPARE(posts[0].m_body, std::string("url=http%3A%2F%2Fwww.site.test%2F"));
}

// 10,001 new addresses go as 10,000 and 1, in the site's order.
void ChangeRunsTest::batchesOfTenThousand()
{
    // Checks would take the first 2,000 a run: the batches are what is tested here.
    auto target = IndexNowTarget();
    target->m_bCheckPages = false;
    m_targets->AppendRows({target});
    m_site->SetPages({});
    QCOMPARE(Run()[0].m_outcome, PostOutcome::Baseline);
    std::vector<std::pair<std::string, std::string>> pages;
    for (int i = 0; i < 10001; ++i)
        pages.emplace_back("p" + std::to_string(i), "");
    m_site->SetPages(pages);
    QCOMPARE(Run()[0].m_outcome, PostOutcome::Succeeded);
    const auto posts = m_site->TakePosts();
    QCOMPARE(posts.size(), std::size_t(2));
    const auto first = UrlListOf(posts[0]);
    QCOMPARE(first.size(), std::size_t(10000));
    QCOMPARE(first.front(), m_site->Url("p0"));
    QCOMPARE(UrlListOf(posts[1]), std::vector<std::string>{m_site->Url("p10000")});
}

// A dry run reads and checks as a run does, says what would go, and leaves the record as it
// was: the run after it posts the same.
void ChangeRunsTest::dryRunSendsAndRecordsNothing()
{
    m_targets->AppendRows({IndexNowTarget()});
    m_site->SetPages({{"a", ""}});
    QCOMPARE(Run()[0].m_reason.English(),
        std::string("Recorded 1 address; changes from now on are posted"));
    m_site->SetPages({{"a", ""}, {"b", ""}});

    CDryRun dry(*m_targets, CPostSettings());
    dry.SubmitAll();
    QTRY_VERIFY_WITH_TIMEOUT(!dry.IsRunning(), 60000);
    QVERIFY(m_targets->Result(0));
    const CPostResult would = *m_targets->Result(0);
    QCOMPARE(would.m_outcome, PostOutcome::WouldPost);
    QCOMPARE(would.m_strContentType.rfind("application/json", 0), std::size_t(0));
    QVERIFY(would.m_strRequestBody.find(m_site->Url("b")) != std::string::npos);
    QVERIFY(m_site->TakePosts().empty());

    QCOMPARE(Run()[0].m_outcome, PostOutcome::Succeeded);
    const auto posts = m_site->TakePosts();
    QCOMPARE(posts.size(), std::size_t(1));
    QCOMPARE(posts[0].m_body, would.m_strRequestBody);
}

// Submit opens the browser window on what the next run would post, and on nothing when there
// is nothing to post; it records nothing, so the run after it still posts the change.
void ChangeRunsTest::browserSubmitOpensOnTheChanges()
{
    const auto target = IndexNowTarget();
    m_targets->AppendRows({target});
    m_site->SetPages({{"a", ""}});
    QCOMPARE(Run()[0].m_outcome, PostOutcome::Baseline);

    CBodies browser;
    CBrowserSubmit submit(&browser, CPostSettings());
    QSignalSpy failed(&submit, &CBrowserSubmit::Failed);
    submit.Submit(*target);
    QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 30000);
    QVERIFY(failed.at(0).at(0).toString().startsWith("Unchanged"));
    QVERIFY(browser.m_bodies.empty());

    m_site->SetPages({{"a", ""}, {"b", ""}});
    submit.Submit(*target);
    QTRY_COMPARE_WITH_TIMEOUT(browser.m_bodies.size(), std::size_t(1), 30000);
    QVERIFY(browser.m_bodies[0].find(m_site->Url("b")) != std::string::npos);
    QVERIFY(browser.m_bodies[0].find(m_site->Url("home")) == std::string::npos);
    QVERIFY(m_site->TakePosts().empty());
    QCOMPARE(Run()[0].m_outcome, PostOutcome::Succeeded);
}

void ChangeRunsTest::nothingIsPostedBlind_data()
{
    QTest::addColumn<int>("sitemapStatus");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("changes");
    QTest::addColumn<QString>("reason");
    QTest::newRow("sitemap not found") << 404 << Key << "sitemap.xml"
                                       << "Sitemap not read";
    QTest::newRow("other key") << 200 << "fedcba9876543210"
                               << "sitemap.xml"
                               << "holds something else";
    QTest::newRow("changes not a web address") << 200 << Key << "ftp://x.example/"
                                               << "not a web address";
    QTest::newRow("empty changes") << 200 << Key << ""
                                   << "not a web address";
}

void ChangeRunsTest::nothingIsPostedBlind()
{
    QFETCH(int, sitemapStatus);
    QFETCH(QString, key);
    QFETCH(QString, changes);
    QFETCH(QString, reason);
    m_site->SetPages({{"a", ""}});
    m_site->SetSitemapStatus(sitemapStatus);
    m_site->SetKey(key.toStdString());
    auto target = IndexNowTarget();
    if (changes != "sitemap.xml")
        target->m_strChanges = changes.toStdString();
    m_targets->AppendRows({target});
    const CPostResult result = Run()[0];
    QCOMPARE(result.m_outcome, PostOutcome::NotPosted);
    QVERIFY2(QString::fromStdString(result.m_reason.English()).contains(reason),
        result.m_reason.English().c_str());
    QVERIFY(m_site->TakePosts().empty());
}

// Targets that share a key file are each judged by their own key, whichever comes first.
void ChangeRunsTest::eachTargetItsOwnKey()
{
    m_site->SetPages({{"a", ""}});
    for (const char* key : {"fedcba9876543210", Key, "fedcba9876543210"}) {
        auto target = IndexNowTarget();
        target->EditParam(CPostParam("key", Key), CPostParam("key", key));
        target->m_strUrl = m_site->Url(std::to_string(m_targets->RowCount()) + "/indexnow");
        m_targets->AppendRows({target});
    }
    const std::vector<CPostResult> results = Run();
    QCOMPARE(results[0].m_outcome, PostOutcome::NotPosted);
    QCOMPARE(results[1].m_outcome, PostOutcome::Baseline);
    QCOMPARE(results[2].m_outcome, PostOutcome::NotPosted);
}

void ChangeRunsTest::unrecordedSuccessIsSaid_data()
{
    // Else the file may not grow: the post's 300 addresses do not fit, the log's entry does.
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("why");
    QTest::newRow("record locked") << true << "database is locked";
    QTest::newRow("record full") << false << "database or disk is full";
}

// What a run could not record is said once its writes have waited and been tried again.
void ChangeRunsTest::unrecordedSuccessIsSaid()
{
    QFETCH(bool, locked);
    QFETCH(QString, why);
    const std::string record
        = CPostHistory::FileIn(QFile::encodeName(m_state->path()).toStdString() + "/Quillpost");
    CRecordLock lock(record);
    QVERIFY(lock.m_write);
    if (!locked)
        lock.m_write.reset();
    CPostSettings settings;
    settings.m_record.m_writeWaitMs = 100;
    settings.m_record.m_maxPages = locked ? 0 : 1;
    m_runs.reset();
    m_runs = std::make_unique<CSubmitRuns>(*m_targets, settings);
    auto ping = std::make_shared<CSubmitHost>();
    ping->m_strUrl = m_site->Url("ping");
    ping->m_strChanges = m_site->Url("sitemap.xml");
    m_targets->AppendRows({ping});
    std::vector<std::pair<std::string, std::string>> pages;
    for (int i = 0; i < 300; ++i)
        pages.emplace_back("page/" + std::to_string(i), "2026-12-01");
    m_site->SetPages(pages);

    QVERIFY(Run()[0].Succeeded());
    QTRY_VERIFY_WITH_TIMEOUT(!m_runs->IsRecording(), 30000);
    const QString said = "Not recorded: The history file " + QString::fromStdString(record)
        + " cannot be written: " + why + " (these may be sent again next run)";
    QCOMPARE(m_runs->NotRecorded(), said);
    QVERIFY2(m_runs->StatusText().endsWith(" · " + said), qPrintable(m_runs->StatusText()));
    if (!locked) {
        CPostHistory log;
        CText error;
        QCOMPARE(log.OpenToRead(record, error), CPostHistory::ReadState::Opened);
        QStringList reasons;
        log.ReadLog(
            {}, [&](const CPostLogEntry& entry) { reasons << entry.m_strReason.c_str(); }, error);
        QCOMPARE(reasons, QStringList{"OK · " + said});
    }
}

QStringList ChangeRunsTest::PageLog(const std::string& page)
{
    [&] { QTRY_VERIFY_WITH_TIMEOUT(!m_runs->IsRecording(), 30000); }();
    CPostHistory log;
    CText error;
    QStringList story;
    if (log.OpenToRead(
            CPostHistory::FileIn(QFile::encodeName(m_state->path()).toStdString() + "/Quillpost"),
            error)
        != CPostHistory::ReadState::Opened)
        return {QString::fromStdString(error.English())};
    log.PageLog(
        page, std::nullopt,
        [&](const CPageEvent& event) {
            story << QString::fromStdString(
                std::string(FateWord(event.m_address.m_fate)) + ' ' + event.m_address.m_strReason)
                         .trimmed();
        },
        error);
    return story;
}

namespace {

// How the site answers the new page "n" (or its robots.txt), and what comes of it.
struct CPageCase
{
    const char* name;
    const char* path;
    std::function<CScriptedReply(const CSite&)> reply;
    PostOutcome outcome;
    // The left-out reason the post log keeps (with %1 for the site's address), or "sent".
    std::string logged;
    // Checked again by the next run: nothing recorded of it.
    bool checkedAgain;
};

const std::vector<CPageCase>& PageCases()
{
    static const std::vector<CPageCase> cases = {
        {"announced", "n", nullptr, PostOutcome::Succeeded, "sent", false},
        {"not found", "n", [](const CSite&) { return CScriptedReply::Status(410); },
            PostOutcome::Unchanged, "left_out not found", false},
        {"moved with a slash", "n",
            [](const CSite& site) { return CScriptedReply::Redirect(301, site.Url("n/")); },
            PostOutcome::Unchanged, "left_out moved to %1n/", false},
        {"noindex header", "n",
            [](const CSite&) {
                return CScriptedReply::Status(200, "<html></html>", "X-Robots-Tag: noindex\r\n");
            },
            PostOutcome::Unchanged, "left_out noindex", false},
        {"canonical elsewhere", "n",
            [](const CSite&) {
                return CScriptedReply::Status(200,
                    "<html><head><link rel=\"canonical\" href=\"/a\"></head></html>",
                    "Content-Type: text/html\r\n");
            },
            PostOutcome::Unchanged, "left_out canonical is %1a", false},
        {"robots.txt disallows", "robots.txt",
            [](const CSite&) {
                return CScriptedReply::Status(200, "User-agent: *\nDisallow: /n\n");
            },
            PostOutcome::Unchanged, "left_out robots.txt disallows", false},
        {"could not check", "n", [](const CSite&) { return CScriptedReply::Status(503); },
            PostOutcome::NotPosted, "left_out could not check: 503 Service Unavailable", true},
        {"robots.txt unreadable", "robots.txt",
            [](const CSite&) { return CScriptedReply::Status(500); }, PostOutcome::NotPosted,
            "left_out could not check: robots.txt not read: 500 Internal Server Error", true},
    };
    return cases;
}

} // namespace

void ChangeRunsTest::pageChecks_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("checks");
    for (std::size_t i = 0; i < PageCases().size(); ++i)
        QTest::newRow(PageCases()[i].name) << static_cast<int>(i) << true;
    QTest::newRow("checks off") << 1 << false;
}

// A new page is announced only as a site would have it indexed; what is left out is said in
// the post log, and recorded unless it could not be checked.
void ChangeRunsTest::pageChecks()
{
    QFETCH(int, index);
    QFETCH(bool, checks);
    const CPageCase& row = PageCases()[static_cast<std::size_t>(index)];
    auto target = IndexNowTarget();
    target->m_bCheckPages = checks;
    m_targets->AppendRows({target});
    m_site->SetPages({{"a", ""}});
    QCOMPARE(Run()[0].m_outcome, PostOutcome::Baseline);
    if (row.reply)
        m_site->SetPage(row.path, row.reply(*m_site));
    m_site->SetPages({{"a", ""}, {"n", ""}});

    const CPostResult result = Run()[0];
    const auto posts = m_site->TakePosts();
    if (!checks) {
        // As before checks were made: no page is fetched, the change is sent.
        QCOMPARE(result.m_outcome, PostOutcome::Succeeded);
        QCOMPARE(m_site->Fetches("n"), std::size_t(0));
        QCOMPARE(posts.size(), std::size_t(1));
        return;
    }
    QCOMPARE(result.m_outcome, row.outcome);
    QCOMPARE(posts.size(), std::size_t(row.outcome == PostOutcome::Succeeded ? 1 : 0));
    if (!posts.empty())
        QCOMPARE(UrlListOf(posts[0]), std::vector<std::string>{m_site->Url("n")});
    if (row.outcome == PostOutcome::NotPosted)
        QCOMPARE(QString::fromStdString(result.m_reason.English()),
            QString::fromStdString(row.logged.substr(9)));
    QCOMPARE(PageLog(m_site->Url("n")),
        QStringList{QString::fromStdString(CText::Filled(row.logged, {m_site->Url("")}))});

    // What was decided is not checked again; what could not be checked is.
    const std::size_t asked = m_site->Fetches(row.path);
    const CPostResult next = Run()[0];
    QCOMPARE(m_site->Fetches(row.path) > asked, row.checkedAgain);
    QCOMPARE(next.m_outcome, row.checkedAgain ? row.outcome : PostOutcome::Unchanged);
}

// An address gone from a source read whole is announced as removed when the site says it is
// gone, and only recorded while the page is still there; one listed again is new again.
void ChangeRunsTest::removals()
{
    m_targets->AppendRows({IndexNowTarget()});
    m_site->SetPages({{"a", ""}, {"gone", ""}, {"kept", ""}});
    QCOMPARE(Run()[0].m_outcome, PostOutcome::Baseline);
    m_site->SetPage("gone", CScriptedReply::Status(404));
    m_site->SetPages({{"a", ""}});

    QCOMPARE(Run()[0].m_outcome, PostOutcome::Succeeded);
    auto posts = m_site->TakePosts();
    QCOMPARE(posts.size(), std::size_t(1));
    QCOMPARE(UrlListOf(posts[0]), std::vector<std::string>{m_site->Url("gone")});

    // Neither is checked or sent again.
    QCOMPARE(Run()[0].m_outcome, PostOutcome::Unchanged);
    QVERIFY(m_site->TakePosts().empty());
    QCOMPARE(m_site->Fetches("gone"), std::size_t(1));
    QCOMPARE(m_site->Fetches("kept"), std::size_t(1));

    // A source that fails names no removal.
    m_site->SetSitemapStatus(500);
    QCOMPARE(Run()[0].m_outcome, PostOutcome::NotPosted);
    m_site->SetSitemapStatus(200);

    m_site->SetPage("gone", CScriptedReply::Status(200, "<html></html>"));
    m_site->SetPages({{"a", ""}, {"gone", ""}});
    QCOMPARE(Run()[0].m_outcome, PostOutcome::Succeeded);
    posts = m_site->TakePosts();
    QCOMPARE(posts.size(), std::size_t(1));
    QCOMPARE(UrlListOf(posts[0]), std::vector<std::string>{m_site->Url("gone")});
    QCOMPARE(PageLog(m_site->Url("gone")), (QStringList{"sent", "removed", "baseline"}));
}

// A source cut by a limit does not tell what is gone from it: an address it no longer lists
// is neither checked nor announced as removed.
void ChangeRunsTest::noRemovalsFromACutSource()
{
    // Room for the one new page and the one gone.
    CPostSettings settings;
    settings.m_checks.m_maxChecks = 2;
    m_runs = std::make_unique<CSubmitRuns>(*m_targets, settings);
    m_targets->AppendRows({IndexNowTarget()});
    // A sitemap file is read for 50,000 addresses: each of these is cut by one.
    const auto cut = [](const std::string& first, int from) {
        std::vector<std::pair<std::string, std::string>> pages{{first, ""}};
        for (int i = from; i < from + 50000; ++i)
            pages.emplace_back("p" + std::to_string(i), "");
        return pages;
    };
    m_site->SetPages(cut("gone", 0));
    QCOMPARE(Run()[0].m_outcome, PostOutcome::Baseline);
    m_site->SetPage("gone", CScriptedReply::Status(404));
    m_site->SetPages(cut("p0", 1));

    Run();
    QCOMPARE(m_site->Fetches("gone"), std::size_t(0));
    for (const auto& post : m_site->TakePosts()) {
        const auto sent = UrlListOf(post);
        QVERIFY(std::find(sent.begin(), sent.end(), m_site->Url("gone")) == sent.end());
    }
    QCOMPARE(PageLog(m_site->Url("gone")), QStringList{"baseline"});
}

// A target without a source has the pages its urlList names checked as a source's would be:
// what is left out goes from the body the user wrote, and with every page left out nothing
// is posted.
void ChangeRunsTest::writtenUrlListIsChecked()
{
    auto target = IndexNowTarget();
    target->m_strChanges.reset();
    target->AddParam(CPostParam("urlList[]", m_site->Url("n")));
    m_targets->AppendRows({target});
    m_site->SetPage("n", CScriptedReply::Status(404));
    const CPostResult result = Run()[0];
    QCOMPARE(result.m_outcome, PostOutcome::Succeeded);
    QCOMPARE(result.m_leftOut.size(), std::size_t(1));
    const auto posts = m_site->TakePosts();
    QCOMPARE(posts.size(), std::size_t(1));
    QCOMPARE(UrlListOf(posts[0]), std::vector<std::string>{m_site->Url("home")});

    m_site->SetPage("home", CScriptedReply::Status(404));
    QCOMPARE(Run()[0].m_outcome, PostOutcome::Unchanged);
    QVERIFY(m_site->TakePosts().empty());
}

// At most the cap's checks a run; the rest wait for the runs after.
void ChangeRunsTest::checksCapped()
{
    CPostSettings settings;
    settings.m_checks.m_maxChecks = 2;
    m_runs = std::make_unique<CSubmitRuns>(*m_targets, settings);
    m_targets->AppendRows({IndexNowTarget()});
    m_site->SetPages({});
    QCOMPARE(Run()[0].m_outcome, PostOutcome::Baseline);
    m_site->SetPages({{"p0", ""}, {"p1", ""}, {"p2", ""}, {"p3", ""}, {"p4", ""}});
    for (const std::vector<std::string>& sent :
        {std::vector<std::string>{m_site->Url("p0"), m_site->Url("p1")},
            std::vector<std::string>{m_site->Url("p2"), m_site->Url("p3")},
            std::vector<std::string>{m_site->Url("p4")}}) {
        QCOMPARE(Run()[0].m_outcome, PostOutcome::Succeeded);
        const auto posts = m_site->TakePosts();
        QCOMPARE(posts.size(), std::size_t(1));
        QCOMPARE(UrlListOf(posts[0]), sent);
    }
}

// Stop ends the checks under way; nothing of them is recorded, so the next run checks again.
void ChangeRunsTest::stopDuringChecks()
{
    m_targets->AppendRows({IndexNowTarget()});
    m_site->SetPages({});
    QCOMPARE(Run()[0].m_outcome, PostOutcome::Baseline);
    m_site->SetPages({{"n", ""}});
    m_site->HoldPages(true);
    m_runs->SubmitAll();
    QTRY_VERIFY_WITH_TIMEOUT(m_site->PageAsked(), 30000);
    m_runs->Stop();
    QTRY_VERIFY_WITH_TIMEOUT(!m_runs->IsPosting(), 30000);
    QVERIFY(m_targets->Result(0));
    QCOMPARE(m_targets->Result(0)->m_outcome, PostOutcome::Stopped);
    m_site->HoldPages(false);
    QCOMPARE(Run()[0].m_outcome, PostOutcome::Succeeded);
    const auto posts = m_site->TakePosts();
    QCOMPARE(posts.size(), std::size_t(1));
    QCOMPARE(UrlListOf(posts[0]), std::vector<std::string>{m_site->Url("n")});
}

QTEST_GUILESS_MAIN(ChangeRunsTest)
#include "ChangeRunsTest.moc"
