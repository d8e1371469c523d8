// Opening the History window's list over a post log of 100,000 entries, against a bare
// SQLite read of the same rows into plain structs:
//  - ours: the read the window does off its thread (read-only open, every entry with the texts
//    its filter searches, newest first, one target's entries first), the model taking them in
//    one go, and the first screen of rows as a view asks for them;
//  - the baseline: one prepared query over the same table, each row's columns copied out.
// The ratio is printed at the end, with the absolute times in the table above it.
#include "app/HistoryModel.h"
#include "core/history/PostHistory.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Time = CPostHistory::Time;

constexpr int LogSize = 100000;
// Rows a window of the History list shows at once.
constexpr int ScreenRows = 30;

const Time Now = Time(std::chrono::seconds(1796737500));
const CPostHistory::CTarget Selected{"https://ping7.example/rpc/ping", "xml-rpc", ""};

struct Files
{
    Files()
    {
        std::string pattern
            = (std::filesystem::temp_directory_path() / "quillpost-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            folder = pattern;
    }
    ~Files()
    {
        std::error_code ec;
        if (!folder.empty())
            std::filesystem::remove_all(folder, ec);
    }
    std::string folder;
};

Files& files()
{
    static Files f;
    return f;
}

// 40 targets posting in turn, one in seven failing.
std::string logPath()
{
    static const std::string path = [] {
        const std::string p = files().folder + "/history.sqlite";
        std::vector<CPostLogEntry> entries;
        for (int i = 0; i < LogSize; ++i) {
            CPostLogEntry entry;
            entry.m_time = Now + std::chrono::milliseconds(i * 1700);
            entry.m_run = 1 + i / 40;
            entry.m_strUrl = "https://ping" + std::to_string(i % 40) + ".example/rpc/ping";
            entry.m_strBody = "xml-rpc";
            entry.m_outcome = i % 7 ? PostOutcome::Succeeded : PostOutcome::Failed;
            entry.m_status = i % 7 ? 200 : 503;
            entry.m_strReason = i % 7 ? "OK" : "Service Unavailable";
            entry.m_strServiceMessage = "Thanks for the ping \xE2\x80\x94 the weblog is queued.";
            entry.m_seconds = 0.25 + (i % 100) / 1000.0;
            entry.m_addresses = i % 50;
            entries.push_back(entry);
        }
        CPostHistory history;
        std::string movedTo;
        CText error;
        if (!history.Open(p, Now, movedTo, error) || !history.Log(entries, error))
            std::fprintf(stderr, "%s\n", error.English().c_str());
        return p;
    }();
    return path;
}

void BM_HistoryWindowModel(benchmark::State& state)
{
    logPath();
    const std::atomic<bool> stop{false};
    for (auto _ : state) {
        CHistoryModel::CLoaded loaded = CHistoryModel::Read(logPath(), Selected, stop);
        if (loaded.m_entries.size() != LogSize) {
            state.SkipWithError("the log was not read whole");
            return;
        }
        CHistoryModel model;
        model.SetEntries(std::move(loaded));
        for (int row = 0; row < ScreenRows; ++row) {
            for (int column = 0; column < CHistoryModel::ColumnCount; ++column)
                benchmark::DoNotOptimize(model.index(row, column).data());
        }
    }
}

struct BareRow
{
    std::int64_t time = 0;
    std::int64_t run = 0;
    std::string url;
    std::string body;
    std::string changes;
    std::string outcome;
    long status = 0;
    std::string reason;
    std::string message;
    double seconds = 0;
    std::int64_t addresses = 0;
};

std::string column(sqlite3_stmt* statement, int index)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
    return text
        ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, index)))
        : std::string();
}

void BM_BareSqliteRead(benchmark::State& state)
{
    logPath();
    for (auto _ : state) {
        sqlite3* db = nullptr;
        sqlite3_stmt* query = nullptr;
        std::vector<BareRow> rows;
        if (sqlite3_open_v2(logPath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
            && sqlite3_prepare_v2(db,
                   "SELECT time, run, url, body, changes, outcome, status, reason, service_message,"
                   " seconds, addresses FROM log ORDER BY time, id",
                   -1, &query, nullptr)
                == SQLITE_OK) {
            while (sqlite3_step(query) == SQLITE_ROW) {
                BareRow row;
                row.time = sqlite3_column_int64(query, 0);
                row.run = sqlite3_column_int64(query, 1);
                row.url = column(query, 2);
                row.body = column(query, 3);
                row.changes = column(query, 4);
                row.outcome = column(query, 5);
                row.status = static_cast<long>(sqlite3_column_int64(query, 6));
                row.reason = column(query, 7);
                row.message = column(query, 8);
                row.seconds = sqlite3_column_double(query, 9);
                row.addresses = sqlite3_column_int64(query, 10);
                rows.push_back(std::move(row));
            }
        }
        sqlite3_finalize(query);
        sqlite3_close(db);
        if (rows.size() != LogSize) {
            state.SkipWithError("the bare read did not read the log whole");
            return;
        }
        benchmark::DoNotOptimize(rows.data());
    }
}

BENCHMARK(BM_HistoryWindowModel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareSqliteRead)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // The model's texts are translated as the window's are, through the application.
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (files().folder.empty()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio(
        "History window over 100,000 entries", "BM_HistoryWindowModel", "BM_BareSqliteRead");
    benchmark::Shutdown();
    return 0;
}
