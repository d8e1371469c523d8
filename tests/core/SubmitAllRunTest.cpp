#include "core/SubmitAllRun.h"
#include "tests/support/ScriptedServer.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace {

using Result = std::pair<std::uint64_t, bool>;

// Collects what a run reports, from its worker thread.
class Collector
{
public:
    CSubmitAllRun::ResultCallback OnResult()
    {
        return [this](const CPostResult& result) {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_results.emplace_back(result.m_rowId, result.m_bSuccess);
            m_changed.notify_all();
        };
    }
    CSubmitAllRun::FinishedCallback OnFinished()
    {
        return [this] {
            const std::lock_guard<std::mutex> lock(m_mutex);
            ++m_finished;
            m_changed.notify_all();
        };
    }
    bool WaitFinished(int runs = 1)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(
            lock, std::chrono::seconds(60), [&] { return m_finished >= runs; });
    }
    std::vector<Result> Results()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_results;
    }
    int Finished()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_finished;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Result> m_results;
    int m_finished = 0;
};

CSubmitJob Job(CScriptedServer& server, std::uint64_t row, const std::string& path,
    const std::string& body = "a=1")
{
    return CSubmitJob{row, server.Url(path), body};
}

std::vector<std::string> RequestLines(const CLocalServer& server)
{
    std::vector<std::string> lines;
    for (const auto& request : server.Requests())
        lines.push_back(request.m_requestLine);
    return lines;
}

TEST(SubmitAllRun, PostsInOrderAndReportsEachRow)
{
    CScriptedServer server;
    Collector collector;
    CSubmitAllRun run(CFormPoster(),
        {Job(server, 7, "ok1"), Job(server, 3, "fail2"), Job(server, 9, "ok3")},
        collector.OnResult(), collector.OnFinished());
    ASSERT_TRUE(collector.WaitFinished());
    EXPECT_EQ(collector.Results(), (std::vector<Result>{{7, true}, {3, false}, {9, true}}));
    EXPECT_EQ(RequestLines(server.Server()),
        (std::vector<std::string>{
            "POST /ok1 HTTP/1.0", "POST /fail2 HTTP/1.0", "POST /ok3 HTTP/1.0"}));
    EXPECT_TRUE(run.IsFinished());
    EXPECT_FALSE(run.Append(Job(server, 10, "late")));
}

TEST(SubmitAllRun, EmptyRunFinishesAtOnce)
{
    Collector collector;
    CSubmitAllRun run(CFormPoster(), {}, collector.OnResult(), collector.OnFinished());
    ASSERT_TRUE(collector.WaitFinished());
    EXPECT_TRUE(collector.Results().empty());
}

TEST(SubmitAllRun, RowsChangedDuringTheRun)
{
    CScriptedServer server;
    Collector collector;
    CSubmitAllRun run(CFormPoster(),
        {Job(server, 1, "gate"), Job(server, 2, "deleted"), Job(server, 3, "edited", "old=1")},
        collector.OnResult(), collector.OnFinished());
    ASSERT_TRUE(server.Server().WaitForRequests(1));
    // Row 1 is in flight, row 2 waits: both deleted; row 3 edited; row 4 added.
    run.Cancel(1);
    run.Cancel(2);
    EXPECT_TRUE(run.Update(Job(server, 3, "edited", "new=1")));
    EXPECT_TRUE(run.Append(Job(server, 4, "added")));
    EXPECT_FALSE(run.Update(Job(server, 1, "gate")));
    server.Open();
    ASSERT_TRUE(collector.WaitFinished());

    EXPECT_EQ(collector.Results(), (std::vector<Result>{{3, true}, {4, true}}));
    const auto requests = server.Server().Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[1].m_body, "new=1");
    EXPECT_EQ(requests[2].m_requestLine, "POST /added HTTP/1.0");
}

TEST(SubmitAllRun, DestroyingAbortsHangingPost)
{
    CScriptedServer server;
    Collector collector;
    {
        // Default limits: only the abort ends this run in reasonable time.
        CSubmitAllRun run(CFormPoster(), {Job(server, 1, "hang"), Job(server, 2, "ok")},
            collector.OnResult(), collector.OnFinished());
        ASSERT_TRUE(server.Server().WaitForRequests(1));
    }
    EXPECT_TRUE(collector.Results().empty());
    EXPECT_EQ(collector.Finished(), 0);
    EXPECT_EQ(server.Server().Requests().size(), 1u);
}

TEST(SubmitAllRun, AbortEndsRunWithoutReports)
{
    CScriptedServer server;
    Collector collector;
    CSubmitAllRun run(CFormPoster(), {Job(server, 1, "hang"), Job(server, 2, "ok")},
        collector.OnResult(), collector.OnFinished());
    ASSERT_TRUE(server.Server().WaitForRequests(1));
    run.Abort();
    EXPECT_FALSE(run.Append(Job(server, 3, "ok")));
    // The worker ends by itself, without the destructor's help.
    for (int i = 0; i < 600 && !run.IsFinished(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(run.IsFinished());
    EXPECT_TRUE(collector.Results().empty());
}

TEST(SubmitAllRun, TwoRunsAtOnce)
{
    CScriptedServer server;
    Collector collector;
    std::vector<CSubmitJob> jobs;
    for (std::uint64_t row = 1; row <= 10; ++row)
        jobs.push_back(Job(server, row, row % 3 ? "ok" : "fail"));
    CSubmitAllRun first(CFormPoster(), jobs, collector.OnResult(), collector.OnFinished());
    CSubmitAllRun second(CFormPoster(), jobs, collector.OnResult(), collector.OnFinished());
    ASSERT_TRUE(collector.WaitFinished(2));

    const auto results = collector.Results();
    EXPECT_EQ(results.size(), 20u);
    for (std::uint64_t row = 1; row <= 10; ++row) {
        EXPECT_EQ(std::count(results.begin(), results.end(), Result{row, row % 3 != 0}), 2) << row;
    }
    EXPECT_EQ(server.Server().Requests().size(), 20u);
}

} // namespace
