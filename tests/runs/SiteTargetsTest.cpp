// The targets a site's discovery gives, as Set Up Site and --add-site add them.
//
// Faults these catch:
//   IndexNow reading one sitemap where the root reads them all, or a feed  | source rows
//     before a sitemap; a root with the site's path, which reads no robots |
//   a hub told of the wrong feed, two feeds' hubs made one, a hub that is  | hub rows
//     no web address taken                                                 |
//   another site's feed chosen for the user                                | other site
//   a target the list holds added again, or one that differs only in kind  | in the list
//   the key file's address off the site, or the site's title not used      | IndexNow params
#include "runs/SiteTargets.h"
#include "core/site/SiteDiscovery.h"
#include "core/target/SubmitHost.h"

#include <QTest>

#include <memory>

namespace {

CFoundFeed Feed(const std::string& url, std::vector<std::string> hubs, bool other = false)
{
    CFoundFeed feed;
    feed.m_strUrl = url;
    feed.m_strSelf = url + "?self";
    feed.m_hubs = std::move(hubs);
    feed.m_bOtherSite = other;
    return feed;
}

std::shared_ptr<CSubmitHost> Listed(const char* url, const char* body, const char* changes)
{
    auto target = std::make_shared<CSubmitHost>();
    target->m_strUrl = url;
    if (*body)
        target->m_strBodyKind = body;
    target->m_strChanges = changes;
    return target;
}

// "kind url <- changes, state", a line a target made.
QStringList Lines(const std::vector<CSiteTarget>& made)
{
    QStringList lines;
    for (const CSiteTarget& each : made) {
        const char* kind = each.m_kind == CSiteTarget::Kind::IndexNow ? "indexnow"
            : each.m_kind == CSiteTarget::Kind::WebSub                ? "websub"
                                                                      : "ping";
        QString line = QStringLiteral("%1 %2 <- %3")
                           .arg(kind, QString::fromStdString(each.m_target->m_strUrl),
                               QString::fromStdString(each.m_target->m_strChanges.value_or("")));
        if (each.m_kind == CSiteTarget::Kind::WebSub)
            line += " for " + QString::fromStdString(each.m_target->FirstValue("hub.url").value());
        line += each.m_bInList ? ", there" : each.m_bOtherSite ? ", other" : "";
        lines << line;
    }
    return lines;
}

const QString Ping1 = "ping http://rpc.pingomatic.com/ <- ";
const QString Ping2 = "ping http://rpc.twingly.com/ <- ";

} // namespace

class SiteTargetsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void targets_data();
    void targets();
    void indexNowParams();
};

void SiteTargetsTest::targets_data()
{
    QTest::addColumn<bool>("robots"); // robots.txt names the sitemaps
    QTest::addColumn<QStringList>("sitemaps");
    QTest::addColumn<QList<CFoundFeed>>("feeds");
    QTest::addColumn<QStringList>("expected");

    const QString feed = "https://s.example/feed.xml";
    QTest::newRow("robots' sitemaps: the root")
        << true << QStringList{"https://s.example/a.xml", "https://s.example/b.xml"}
        << QList<CFoundFeed>{Feed(feed.toStdString(), {})}
        << QStringList{"indexnow https://api.indexnow.org/indexnow <- https://s.example/",
               Ping1 + feed, Ping2 + feed};
    QTest::newRow("the head's sitemap: itself")
        << false << QStringList{"https://s.example/map.xml"} << QList<CFoundFeed>{}
        << QStringList{"indexnow https://api.indexnow.org/indexnow <- https://s.example/map.xml",
               Ping1 + "https://s.example/map.xml", Ping2 + "https://s.example/map.xml"};
    QTest::newRow("a feed alone") << false << QStringList{}
                                  << QList<CFoundFeed>{Feed(feed.toStdString(), {})}
                                  << QStringList{
                                         "indexnow https://api.indexnow.org/indexnow <- " + feed,
                                         Ping1 + feed, Ping2 + feed};
    QTest::newRow("a hub of two feeds, a bad hub")
        << false << QStringList{}
        << QList<CFoundFeed>{Feed("https://s.example/a", {"https://hub.example/", "xmpp:h@x"}),
               Feed("https://s.example/b", {"https://hub.example/", "ftp://hub.example/"})}
        << QStringList{"indexnow https://api.indexnow.org/indexnow <- https://s.example/a",
               "websub https://hub.example/ <- https://s.example/a for https://s.example/a?self",
               "websub https://hub.example/ <- https://s.example/b for https://s.example/b?self",
               Ping1 + "https://s.example/a", Ping2 + "https://s.example/a"};
    QTest::newRow("another site's feed")
        << false << QStringList{}
        << QList<CFoundFeed>{Feed("https://o.example/f", {"https://hub.example/"}, true)}
        << QStringList{
               "websub https://hub.example/ <- https://o.example/f for https://o.example/f?self, "
               "other",
               Ping1 + "https://o.example/f, other", Ping2 + "https://o.example/f, other"};
    QTest::newRow("nothing") << false << QStringList{} << QList<CFoundFeed>{} << QStringList{};
}

void SiteTargetsTest::targets()
{
    QFETCH(bool, robots);
    QFETCH(QStringList, sitemaps);
    QFETCH(QList<CFoundFeed>, feeds);
    QFETCH(QStringList, expected);

    CDiscovery found;
    // A site under a path: its root for robots.txt's sitemaps is the host's.
    found.m_strSite = "https://s.example/blog/";
    found.m_bRobotsSitemaps = robots;
    for (const QString& sitemap : sitemaps)
        found.m_sitemaps.push_back({sitemap.toStdString(), false});
    found.m_feeds.assign(feeds.begin(), feeds.end());
    QCOMPARE(Lines(CSiteTargets::Of(found, "0123456789abcdef", {})), expected);
}

void SiteTargetsTest::indexNowParams()
{
    CDiscovery found;
    found.m_strSite = "http://s.example:8080/";
    found.m_strTitle = "My <Site>";
    found.m_sitemaps.push_back({"http://s.example:8080/map.xml", true});
    // The list holds IndexNow (another key, another spelling) and one service as a form.
    const TargetRecords list
        = {Listed("HTTPS://api.indexnow.org/indexnow", "json", "http://s.example:8080/map.xml"),
            Listed("http://rpc.pingomatic.com/", "", "http://s.example:8080/map.xml")};
    const std::vector<CSiteTarget> made = CSiteTargets::Of(found, "0123456789abcdef", list);
    QCOMPARE(Lines(made),
        QStringList({"indexnow https://api.indexnow.org/indexnow <- "
                     "http://s.example:8080/map.xml, there",
            Ping1 + "http://s.example:8080/map.xml", Ping2 + "http://s.example:8080/map.xml"}));
    QCOMPARE(made[0].m_target->FirstValue("host"), "s.example:8080");
    QCOMPARE(
        made[0].m_target->FirstValue("keyLocation"), "http://s.example:8080/0123456789abcdef.txt");
    QCOMPARE(made[1].m_target->FirstValue("name"), "My <Site>");
    QCOMPARE(made[1].m_target->FirstValue("url"), "http://s.example:8080/");
}

QTEST_GUILESS_MAIN(SiteTargetsTest)
#include "SiteTargetsTest.moc"
