#include "core/PostScheduler.h"
#include "core/PostTransfer.h"
#include "tests/support/ScriptedServer.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <map>
#include <mutex>

namespace {

// Collects what the scheduler reports, from its worker thread.
class Collector
{
public:
    CPostScheduler::ResultCallback OnResult()
    {
        return [this](const CPostResult& result) {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_results.push_back(result);
            m_changed.notify_all();
        };
    }
    bool WaitFor(std::size_t count)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(
            lock, std::chrono::seconds(60), [&] { return m_results.size() >= count; });
    }
    std::vector<CPostResult> Results()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_results;
    }
    // "row:summary" of every result, in the order they came.
    std::vector<std::string> Rows()
    {
        std::vector<std::string> rows;
        for (const CPostResult& result : Results())
            rows.push_back(std::to_string(result.m_rowId) + ":" + result.Summary());
        return rows;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<CPostResult> m_results;
};

CSubmitJob Job(CScriptedServer& server, std::uint64_t row, const std::string& path,
    const std::string& body = "a=1")
{
    return CSubmitJob{row, server.Url(path), body};
}

TEST(PostScheduler, PostsInOrderAndReportsEachJob)
{
    CScriptedServer server;
    Collector collector;
    CPostScheduler scheduler(CFormPoster(), collector.OnResult());
    const std::uint64_t first = scheduler.Add(
        {Job(server, 7, "ok1"), Job(server, 3, "fail2"), Job(server, 9, "status/202")});
    ASSERT_TRUE(collector.WaitFor(3));
    EXPECT_EQ(collector.Rows(),
        (std::vector<std::string>{"7:200 OK", "3:500 Internal Server Error", "9:202 Accepted"}));
    const auto results = collector.Results();
    for (std::size_t i = 0; i < results.size(); ++i)
        EXPECT_EQ(results[i].m_jobId, first + i);
    EXPECT_EQ(server.Lines(),
        (std::vector<std::string>{"POST /ok1 HTTP/1.0 a=1", "POST /fail2 HTTP/1.0 a=1",
            "POST /status/202 HTTP/1.0 a=1"}));

    // Jobs added later get later ids.
    EXPECT_EQ(scheduler.Add({Job(server, 1, "late")}), first + 3);
    ASSERT_TRUE(collector.WaitFor(4));
}

TEST(PostScheduler, JobsChangedBeforeTheyStart)
{
    CScriptedServer server;
    CScriptedServer other;
    Collector collector;
    CPostScheduler scheduler(CFormPoster(), collector.OnResult());
    // Everything waits behind the gated post to the same server.
    const std::uint64_t first = scheduler.Add({Job(server, 1, "gate"), Job(server, 2, "deleted"),
        Job(server, 3, "edited", "old=1"), Job(server, 4, "moved")});
    ASSERT_TRUE(server.Server().WaitForRequests(1));
    EXPECT_FALSE(scheduler.Cancel(first)); // in flight already
    EXPECT_FALSE(scheduler.Update(first, server.Url("x"), ""));
    EXPECT_TRUE(scheduler.Cancel(first + 1));
    EXPECT_FALSE(scheduler.Cancel(first + 1));
    EXPECT_TRUE(scheduler.Update(first + 2, server.Url("edited"), "new=1"));
    // Moved to a free server, it no longer waits for the gate.
    EXPECT_TRUE(scheduler.Update(first + 3, other.Url("moved"), "m=1"));
    ASSERT_TRUE(collector.WaitFor(1));
    EXPECT_EQ(collector.Rows(), (std::vector<std::string>{"4:200 OK"}));
    server.Open();
    ASSERT_TRUE(collector.WaitFor(3));

    EXPECT_EQ(collector.Rows(), (std::vector<std::string>{"4:200 OK", "1:200 OK", "3:200 OK"}));
    EXPECT_EQ(server.Lines(),
        (std::vector<std::string>{"POST /gate HTTP/1.0 a=1", "POST /edited HTTP/1.0 new=1"}));
    EXPECT_EQ(other.Lines(), (std::vector<std::string>{"POST /moved HTTP/1.0 m=1"}));
}

TEST(PostScheduler, StopEndsPostsInFlightAtOnce)
{
    CScriptedServer first;
    CScriptedServer second;
    Collector collector;
    // The real limits: only Stop can end these posts in reasonable time.
    CPostScheduler scheduler(CFormPoster(), collector.OnResult());
    const std::uint64_t id
        = scheduler.Add({Job(first, 1, "hang"), Job(first, 2, "waiting"), Job(second, 3, "hang")});
    ASSERT_TRUE(first.Server().WaitForRequests(1));
    ASSERT_TRUE(second.Server().WaitForRequests(1));

    EXPECT_EQ(scheduler.Stop(), (std::vector<std::uint64_t>{id + 1}));
    ASSERT_TRUE(collector.WaitFor(2));
    for (const CPostResult& result : collector.Results()) {
        EXPECT_EQ(result.Summary(), "Stopped");
        EXPECT_FALSE(result.m_bSuccess);
    }
    EXPECT_EQ(first.Server().Requests().size(), 1u);

    // The scheduler goes on working after a stop.
    scheduler.Add({Job(second, 4, "ok")});
    ASSERT_TRUE(collector.WaitFor(3));
    EXPECT_EQ(collector.Rows().back(), "4:200 OK");
}

TEST(PostScheduler, DestroyingEndsPostsWithoutReports)
{
    CScriptedServer server;
    Collector collector;
    {
        CPostScheduler scheduler(CFormPoster(), collector.OnResult());
        scheduler.Add({Job(server, 1, "hang"), Job(server, 2, "ok")});
        ASSERT_TRUE(server.Server().WaitForRequests(1));
    }
    EXPECT_TRUE(collector.Results().empty());
    EXPECT_EQ(server.Server().Requests().size(), 1u);
}

// Two runs at once over twelve slow servers: each server sees its posts one after another in
// row order, and no more than eight are in flight in all.
TEST(PostScheduler, OnePostPerServerAndEightInAll)
{
    constexpr int Servers = 12;
    CInFlightMeter overall;
    std::vector<std::unique_ptr<CScriptedServer>> servers;
    for (int i = 0; i < Servers; ++i)
        servers.push_back(
            std::make_unique<CScriptedServer>(std::chrono::milliseconds(20), &overall));
    Collector collector;
    CPostScheduler scheduler(CFormPoster(), collector.OnResult());
    std::vector<CSubmitJob> run;
    for (int row = 0; row < 4 * Servers; ++row)
        run.push_back(Job(*servers[row % Servers], row, "row" + std::to_string(row)));
    scheduler.Add(run);
    scheduler.Add(run);
    ASSERT_TRUE(collector.WaitFor(2 * run.size()));

    for (const CPostResult& result : collector.Results())
        EXPECT_TRUE(result.m_bSuccess) << result.Summary();
    for (int i = 0; i < Servers; ++i) {
        EXPECT_EQ(servers[i]->Peak(), 1) << "server " << i;
        std::vector<std::string> expected;
        for (int pass = 0; pass < 2; ++pass) {
            for (int row = i; row < 4 * Servers; row += Servers)
                expected.push_back("POST /row" + std::to_string(row) + " HTTP/1.0 a=1");
        }
        EXPECT_EQ(servers[i]->Lines(), expected) << "server " << i;
    }
    EXPECT_LE(overall.Peak(), 8);
    EXPECT_GT(overall.Peak(), 1);
}

TEST(PostScheduler, CancelAllDropsOnlyWaitingJobs)
{
    CScriptedServer server;
    Collector collector;
    CPostScheduler scheduler(CFormPoster(), collector.OnResult());
    const std::uint64_t id
        = scheduler.Add({Job(server, 1, "gate"), Job(server, 2, "b"), Job(server, 3, "c")});
    ASSERT_TRUE(server.Server().WaitForRequests(1));
    std::vector<std::uint64_t> cancelled = scheduler.CancelAll();
    std::sort(cancelled.begin(), cancelled.end());
    EXPECT_EQ(cancelled, (std::vector<std::uint64_t>{id + 1, id + 2}));
    server.Open();
    ASSERT_TRUE(collector.WaitFor(1));
    EXPECT_EQ(collector.Rows(), (std::vector<std::string>{"1:200 OK"}));
    EXPECT_EQ(server.Server().Requests().size(), 1u);
}

// Spellings libcurl takes to one server are one server here, or the rule of one post per
// server breaks.
TEST(PostScheduler, AddressesNamingOneServer)
{
    const struct
    {
        const char* a;
        const char* b;
        bool same;
    } pairs[] = {
        {"http://Host.Example/x", "HOST.example/y", true},
        {"http://host", "http://host:80/", true},
        {"http://host:080/", "host:80", true},
        {"http://host:/", "http://host/", true},
        {"https://host/", "HTTPS://host:443/a", true},
        {"https://host/", "http://host:443/", false},
        {"http://host/", "https://host/", false},
        {"http://host:8080/", "http://host/", false},
        {"http://[::1]/", "http://[::1]:80/", true},
        {"http://[::1]:8080/", "http://[::1]/", false},
        {"http://user:pw@host/", "http://host:80/", true},
    };
    for (const auto& pair : pairs) {
        EXPECT_EQ(CPostTransfer::ServerKey(pair.a) == CPostTransfer::ServerKey(pair.b), pair.same)
            << pair.a << " vs " << pair.b;
    }
}

TEST(PostScheduler, PortSpellingsWaitForEachOther)
{
    CScriptedServer server(std::chrono::milliseconds(50));
    Collector collector;
    CPostScheduler scheduler(CFormPoster(), collector.OnResult());
    const std::string port = std::to_string(server.Server().Port());
    scheduler.Add({CSubmitJob{1, "http://127.0.0.1:" + port + "/a", "a=1"},
        CSubmitJob{2, "http://127.0.0.1:0" + port + "/b", "a=1"},
        CSubmitJob{3, "HTTP://127.0.0.1:00" + port + "/c", "a=1"}});
    ASSERT_TRUE(collector.WaitFor(3));
    for (const CPostResult& result : collector.Results())
        EXPECT_TRUE(result.m_bSuccess) << result.Summary();
    EXPECT_EQ(server.Peak(), 1);
}

} // namespace
