// The record of what was sent and the post log against bare SQLite on the same tables:
//  - a run's change set and the record's update for 50,000 addresses, against a record of
//    50,000 (1,000 re-dated, 1,000 new), to writing 50,000 rows in one transaction;
//  - the post log's 100,000 entries read and written as JSON lines, to a bare query writing
//    the same lines;
//  - a page found among the log's 1,000,000 address entries (in 20 entries each), to a bare
//    indexed query of the same rows.
// The ratios are printed at the end.
#include "core/history/PostHistory.h"
#include "core/post/PostOutcome.h"
#include "core/text/TimeText.h"

#include "RatioReporter.h"

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Time = CPostHistory::Time;

constexpr int RecordSize = 50000;
constexpr int Redated = 1000;
constexpr int Added = 1000;
constexpr int LogSize = 100000;
// Address entries per log entry, over LoggedPages pages.
constexpr int AddressesPerEntry = 10;
constexpr int LoggedPages = 50000;
// Pages looked up per iteration.
constexpr int Lookups = 200;

const Time Now = Time(std::chrono::seconds(1796737500));
const CPostHistory::CTarget Site{
    "https://ping.example/rpc", "xml-rpc", "https://www.example.com/sitemap.xml"};

// Numbered so that the order of the list is the order of the table's key, the bare
// loop's best case.
std::string address(int n)
{
    char text[64];
    std::snprintf(text, sizeof text, "https://www.example.com/articles/%06d.html", n);
    return text;
}

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

// The record as the last run left it, and this run's source: all but the last 1,000 of it,
// the first 1,000 with later dates, and 1,000 addresses it never had.
const std::vector<CSourceEntry>& recorded()
{
    static const std::vector<CSourceEntry> entries = [] {
        std::vector<CSourceEntry> e;
        for (int i = 0; i < RecordSize; ++i)
            e.push_back({address(i), 1700000000 + i});
        return e;
    }();
    return entries;
}

const std::vector<CSourceEntry>& source()
{
    static const std::vector<CSourceEntry> entries = [] {
        std::vector<CSourceEntry> e(recorded().begin(), recorded().end() - Added);
        for (int i = 0; i < Redated; ++i)
            *e[i].m_modified += 3600;
        for (int i = 0; i < Added; ++i)
            e.push_back({address(RecordSize + i), 1800000000});
        return e;
    }();
    return entries;
}

void BM_ChangeSetAndRecord(benchmark::State& state)
{
    CPostHistory history;
    std::string movedTo;
    CText error;
    if (!history.Open(files().folder + "/record.sqlite", Now, movedTo, error)) {
        state.SkipWithError(error.English().c_str());
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        const bool reset = history.RecordBaseline(Site, recorded(), Now, error);
        state.ResumeTiming();
        CPostHistory::CChangeSet changes;
        if (!reset || !history.Changes(Site, source(), changes, error)) {
            state.SkipWithError(error.English().c_str());
            return;
        }
        std::vector<CSourceEntry> sent;
        sent.reserve(changes.m_changed.size());
        for (const std::size_t index : changes.m_changed)
            sent.push_back(source()[index]);
        if (sent.size() != Redated + Added) {
            state.SkipWithError("wrong change set");
            return;
        }
        if (!history.RecordSent(Site, sent, "200 OK", Now, error)) {
            state.SkipWithError(error.English().c_str());
            return;
        }
    }
}

// Bare SQLite, as a program keeping such a record would write it at the least: one prepared
// insert, all rows in one transaction, the checkpoint left out of the time.
void BM_BareInsert(benchmark::State& state)
{
    sqlite3* db = nullptr;
    const std::string path = files().folder + "/bare.sqlite";
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK
        || sqlite3_exec(db,
               "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA wal_autocheckpoint=0;"
               "CREATE TABLE IF NOT EXISTS sent(target INTEGER NOT NULL, address TEXT NOT NULL,"
               " modified INTEGER, sent_at INTEGER NOT NULL, verdict TEXT NOT NULL,"
               " PRIMARY KEY(target, address)) WITHOUT ROWID;",
               nullptr, nullptr, nullptr)
            != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_close(db);
        return;
    }
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v2(db, "INSERT INTO sent VALUES(?1, ?2, ?3, ?4, ?5)", -1, &insert, nullptr)
        != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_close(db);
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        sqlite3_exec(
            db, "DELETE FROM sent; PRAGMA wal_checkpoint(TRUNCATE);", nullptr, nullptr, nullptr);
        state.ResumeTiming();
        int rc = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        for (const CSourceEntry& entry : recorded()) {
            sqlite3_bind_int64(insert, 1, 1);
            sqlite3_bind_text(insert, 2, entry.m_strAddress.data(),
                static_cast<int>(entry.m_strAddress.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int64(insert, 3, *entry.m_modified);
            sqlite3_bind_int64(insert, 4, 1796737500000);
            sqlite3_bind_text(insert, 5, "200 OK", -1, SQLITE_STATIC);
            if (rc == SQLITE_OK && sqlite3_step(insert) != SQLITE_DONE)
                rc = SQLITE_ERROR;
            sqlite3_reset(insert);
        }
        if (rc != SQLITE_OK || sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
            state.SkipWithError(sqlite3_errmsg(db));
            break;
        }
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
}

std::string logPath()
{
    static const std::string path = [] {
        const std::string p = files().folder + "/log.sqlite";
        CPostHistory history;
        std::string movedTo;
        CText error;
        std::vector<CPostLogEntry> entries;
        for (int i = 0; i < LogSize; ++i) {
            CPostLogEntry entry;
            entry.m_time = Now + std::chrono::milliseconds(i * 1700);
            entry.m_run = 1 + i / 40;
            entry.m_strUrl = "https://ping" + std::to_string(i % 40) + ".example/rpc/ping";
            entry.m_strBody = i % 3 ? "xml-rpc" : "json";
            entry.m_strChanges = "https://www.example.com/sitemap.xml";
            entry.m_outcome = i % 7 ? PostOutcome::Succeeded : PostOutcome::Failed;
            entry.m_status = i % 7 ? 200 : 503;
            entry.m_strReason = i % 7 ? "OK" : "Service Unavailable";
            entry.m_strServiceMessage = "Thanks for the ping \xE2\x80\x94 the weblog is queued.";
            entry.m_seconds = 0.25 + (i % 100) / 1000.0;
            entry.m_addresses = AddressesPerEntry;
            for (int k = 0; k < AddressesPerEntry; ++k)
                entry.m_addressLog.push_back(
                    {address((i * AddressesPerEntry + k) % LoggedPages), AddressFate::Sent, ""});
            entries.push_back(entry);
        }
        if (!history.Open(p, Now, movedTo, error) || !history.Log(entries, error))
            std::fprintf(stderr, "%s\n", error.English().c_str());
        return p;
    }();
    return path;
}

// The one JSON writer both sides use, so that only the reading differs.
void appendLine(std::string& out, Time time, std::int64_t run, std::string_view url,
    std::string_view body, std::string_view changes, std::string_view outcome, long status,
    std::string_view reason, std::string_view message, double seconds, std::int64_t addresses)
{
    const nlohmann::ordered_json line = {
        {"time", IsoUtc(time)},
        {"run", run},
        {"url", url},
        {"body", body},
        {"changes", changes},
        {"outcome", outcome},
        {"success", outcome == "succeeded"},
        {"status", status},
        {"reason", reason},
        {"service_message", message},
        {"seconds", seconds},
        {"addresses", addresses},
    };
    out += line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    out += '\n';
}

std::string ourLines()
{
    std::string out;
    CPostHistory history;
    CText error;
    if (history.OpenToRead(logPath(), error) != CPostHistory::ReadState::Opened)
        return "cannot open: " + error.English();
    history.ReadLog(
        std::nullopt,
        [&](const CPostLogEntry& e) {
            appendLine(out, e.m_time, e.m_run, e.m_strUrl, e.m_strBody, e.m_strChanges,
                OutcomeWord(e.m_outcome), e.m_status, e.m_strReason, e.m_strServiceMessage,
                e.m_seconds, e.m_addresses);
        },
        error);
    return out;
}

std::string_view text(sqlite3_stmt* statement, int column)
{
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    return t
        ? std::string_view(t, static_cast<std::size_t>(sqlite3_column_bytes(statement, column)))
        : std::string_view();
}

std::string bareLines()
{
    std::string out;
    sqlite3* db = nullptr;
    sqlite3_stmt* query = nullptr;
    if (sqlite3_open_v2(logPath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK
        && sqlite3_prepare_v2(db,
               "SELECT time, run, url, body, changes, outcome, status, reason, service_message,"
               " seconds, addresses FROM log ORDER BY time, id",
               -1, &query, nullptr)
            == SQLITE_OK) {
        while (sqlite3_step(query) == SQLITE_ROW) {
            appendLine(out, Time(std::chrono::milliseconds(sqlite3_column_int64(query, 0))),
                sqlite3_column_int64(query, 1), text(query, 2), text(query, 3), text(query, 4),
                text(query, 5), static_cast<long>(sqlite3_column_int64(query, 6)), text(query, 7),
                text(query, 8), sqlite3_column_double(query, 9), sqlite3_column_int64(query, 10));
        }
    }
    sqlite3_finalize(query);
    sqlite3_close(db);
    return out;
}

void BM_LogAsJsonLines(benchmark::State& state)
{
    logPath();
    for (auto _ : state) {
        const std::string out = ourLines();
        benchmark::DoNotOptimize(out.data());
    }
}

void BM_BareQueryAsJsonLines(benchmark::State& state)
{
    const std::string bare = bareLines();
    if (bare != ourLines()) {
        state.SkipWithError("the reader's lines differ from the bare query's");
        return;
    }
    for (auto _ : state) {
        const std::string out = bareLines();
        benchmark::DoNotOptimize(out.data());
    }
}

// The pages looked up, spread over the log.
std::string lookedUp(int n)
{
    return address(n * (LoggedPages / Lookups));
}

void BM_PageLookup(benchmark::State& state)
{
    CPostHistory history;
    CText error;
    if (history.OpenToRead(logPath(), error) != CPostHistory::ReadState::Opened) {
        state.SkipWithError(error.English().c_str());
        return;
    }
    std::int64_t found = 0;
    for (auto _ : state) {
        for (int n = 0; n < Lookups; ++n) {
            history.PageLog(
                lookedUp(n), std::nullopt,
                [&](const CPageEvent& event) {
                    found += event.m_entry.m_status;
                    benchmark::DoNotOptimize(event.m_entry.m_strUrl.data());
                },
                error);
        }
    }
    if (found == 0)
        state.SkipWithError("no page found");
}

// The same rows by the same index, read as plainly as SQLite gives them.
void BM_BarePageLookup(benchmark::State& state)
{
    sqlite3* db = nullptr;
    sqlite3_stmt* query = nullptr;
    if (sqlite3_open_v2(logPath().c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK
        || sqlite3_prepare_v2(db,
               "SELECT a.fate, a.reason, log.id, log.time, log.run, log.url, log.body,"
               " log.changes, log.outcome, log.status, log.reason, log.service_message,"
               " log.seconds, log.addresses FROM address_log AS a JOIN log ON log.id = a.log"
               " WHERE a.address = ?1 ORDER BY log.time DESC, log.id DESC",
               -1, &query, nullptr)
            != SQLITE_OK) {
        state.SkipWithError(sqlite3_errmsg(db));
        sqlite3_close(db);
        return;
    }
    std::int64_t found = 0;
    for (auto _ : state) {
        for (int n = 0; n < Lookups; ++n) {
            const std::string page = lookedUp(n);
            sqlite3_bind_text(
                query, 1, page.data(), static_cast<int>(page.size()), SQLITE_TRANSIENT);
            while (sqlite3_step(query) == SQLITE_ROW) {
                found += sqlite3_column_int64(query, 9);
                benchmark::DoNotOptimize(text(query, 5).data());
            }
            sqlite3_reset(query);
        }
    }
    sqlite3_finalize(query);
    sqlite3_close(db);
    if (found == 0)
        state.SkipWithError("no page found");
}

BENCHMARK(BM_ChangeSetAndRecord)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareInsert)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LogAsJsonLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareQueryAsJsonLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageLookup)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BarePageLookup)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (files().folder.empty()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("Change set and record", "BM_ChangeSetAndRecord", "BM_BareInsert");
    reporter.PrintRatio("Post log as JSON lines", "BM_LogAsJsonLines", "BM_BareQueryAsJsonLines");
    reporter.PrintRatio("A page in the post log", "BM_PageLookup", "BM_BarePageLookup");
    benchmark::Shutdown();
    return 0;
}
