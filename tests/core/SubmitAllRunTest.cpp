#include "core/SubmitAllRun.h"
#include "tests/support/LocalServer.h"

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
        return [this](std::uint64_t row, bool success) {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_results.emplace_back(row, success);
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

// Paths starting with "fail" answer 500, "hang" never answers, "gate" waits for Open().
class ScriptedServer
{
public:
    ScriptedServer()
        : m_server([this](const CRecordedRequest& request) { return Reply(request); })
    {
    }
    ~ScriptedServer() { Open(); }

    void Open()
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_open = true;
        m_opened.notify_all();
    }
    CSubmitJob Job(std::uint64_t row, const std::string& path, const std::string& body = "a=1")
    {
        return CSubmitJob{row, m_server.Url(path), body};
    }
    CLocalServer& Server() { return m_server; }

private:
    CScriptedReply Reply(const CRecordedRequest& request)
    {
        const std::string& line = request.m_requestLine;
        if (line.find(" /gate") != std::string::npos) {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_opened.wait(lock, [&] { return m_open; });
        }
        if (line.find(" /hang") != std::string::npos)
            return CScriptedReply::Hang();
        if (line.find(" /fail") != std::string::npos)
            return CScriptedReply::Status(500);
        return CScriptedReply::Status(200, "ok");
    }

    std::mutex m_mutex;
    std::condition_variable m_opened;
    bool m_open = false;
    CLocalServer m_server; // last: stops before the gate goes away
};

std::vector<std::string> RequestLines(const CLocalServer& server)
{
    std::vector<std::string> lines;
    for (const auto& request : server.Requests())
        lines.push_back(request.m_requestLine);
    return lines;
}

TEST(SubmitAllRun, PostsInOrderAndReportsEachRow)
{
    ScriptedServer server;
    Collector collector;
    CSubmitAllRun run(CFormPoster(),
        {server.Job(7, "ok1"), server.Job(3, "fail2"), server.Job(9, "ok3")}, collector.OnResult(),
        collector.OnFinished());
    ASSERT_TRUE(collector.WaitFinished());
    EXPECT_EQ(collector.Results(), (std::vector<Result>{{7, true}, {3, false}, {9, true}}));
    EXPECT_EQ(RequestLines(server.Server()),
        (std::vector<std::string>{
            "POST /ok1 HTTP/1.0", "POST /fail2 HTTP/1.0", "POST /ok3 HTTP/1.0"}));
    EXPECT_TRUE(run.IsFinished());
    EXPECT_FALSE(run.Append(server.Job(10, "late")));
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
    ScriptedServer server;
    Collector collector;
    CSubmitAllRun run(CFormPoster(),
        {server.Job(1, "gate"), server.Job(2, "deleted"), server.Job(3, "edited", "old=1")},
        collector.OnResult(), collector.OnFinished());
    ASSERT_TRUE(server.Server().WaitForRequests(1));
    // Row 1 is in flight, row 2 waits: both deleted; row 3 edited; row 4 added.
    run.Cancel(1);
    run.Cancel(2);
    EXPECT_TRUE(run.Update(server.Job(3, "edited", "new=1")));
    EXPECT_TRUE(run.Append(server.Job(4, "added")));
    EXPECT_FALSE(run.Update(server.Job(1, "gate")));
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
    ScriptedServer server;
    Collector collector;
    {
        // Default limits: only the abort ends this run in reasonable time.
        CSubmitAllRun run(CFormPoster(), {server.Job(1, "hang"), server.Job(2, "ok")},
            collector.OnResult(), collector.OnFinished());
        ASSERT_TRUE(server.Server().WaitForRequests(1));
    }
    EXPECT_TRUE(collector.Results().empty());
    EXPECT_EQ(collector.Finished(), 0);
    EXPECT_EQ(server.Server().Requests().size(), 1u);
}

TEST(SubmitAllRun, AbortEndsRunWithoutReports)
{
    ScriptedServer server;
    Collector collector;
    CSubmitAllRun run(CFormPoster(), {server.Job(1, "hang"), server.Job(2, "ok")},
        collector.OnResult(), collector.OnFinished());
    ASSERT_TRUE(server.Server().WaitForRequests(1));
    run.Abort();
    EXPECT_FALSE(run.Append(server.Job(3, "ok")));
    // The worker ends by itself, without the destructor's help.
    for (int i = 0; i < 600 && !run.IsFinished(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(run.IsFinished());
    EXPECT_TRUE(collector.Results().empty());
}

TEST(SubmitAllRun, TwoRunsAtOnce)
{
    ScriptedServer server;
    Collector collector;
    std::vector<CSubmitJob> jobs;
    for (std::uint64_t row = 1; row <= 10; ++row)
        jobs.push_back(server.Job(row, row % 3 ? "ok" : "fail"));
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
