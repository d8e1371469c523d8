// Submit All without the window against a local server, each figure beside a baseline made in
// the same run:
// - 1,000 targets on one server that answers at once, beside a bare loop of 1,000 libcurl
//   POSTs of the same bodies: the real program as a child process (quillpost --submit-all
//   FILE, its lines to /dev/null), and the runs it is made of (CSubmitRuns over a model
//   without images) in this process.
// - 1,000 XML-RPC calls, their answers read and judged, beside a bare loop of the same bytes.
// - The program's start and end alone, over an empty list; and the processor time of that
//   beside quillpost-cli's own, which quillpost hands over to: the hand-over's cost, which
//   other load on the machine does not stretch.
// - The child's peak resident memory over 10,000 targets of five parameters each, beside its
//   peak over an empty list.
#include "PostBaseline.h"
#include "RatioReporter.h"
#include "app/TargetListModel.h"
#include "core/PostLimits.h"
#include "core/SubmitHost.h"
#include "data/DataFile.h"
#include "runs/SubmitRuns.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QIcon>
#include <QList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int TargetCount = 1000;
constexpr int LargeCount = 10000;
constexpr int LargeParamCount = 5;

OkServer& server()
{
    static OkServer s;
    return s;
}

TargetRecords makeTargets(std::optional<std::string> kind = std::nullopt)
{
    TargetRecords targets;
    for (int i = 0; i < TargetCount; ++i)
        targets.push_back(makeTarget(server().Url(i), i, kind));
    return targets;
}

// As the window's start-up figures shape their lists.
TargetRecords makeLargeTargets()
{
    TargetRecords targets;
    for (int i = 0; i < LargeCount; ++i) {
        auto record = std::make_shared<CSubmitHost>();
        record->m_strUrl = server().Url(i);
        for (int p = 0; p < LargeParamCount; ++p)
            record->AddParam(CPostParam("parameter" + std::to_string(p),
                "http://www.mysite.example/page/" + std::to_string(i)));
        targets.push_back(record);
    }
    return targets;
}

std::string writeList(const char* name, const TargetRecords& records)
{
    static QTemporaryDir folder;
    const std::string path = folder.filePath(QString::fromLatin1(name)).toStdString();
    if (!CDataFile().Save(path, records).m_bOk)
        return std::string();
    return path;
}

struct ChildRun
{
    int exitCode = -1;
    long peakKiB = 0;
    double cpuSeconds = 0;
};

// The real program over the list, its standard output thrown away.
ChildRun runCommand(const std::string& list, std::string program = QUILLPOST_PROGRAM_PATH)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::string option = "--submit-all";
    std::string file = list;
    char* argv[] = {program.data(), option.data(), file.data(), nullptr};
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ChildRun run;
    int status = 0;
    rusage usage = {};
    if (spawned != 0 || wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakKiB = usage.ru_maxrss;
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    return run;
}

void BM_BareCurlPosts(benchmark::State& state)
{
    postBare(state, makeTargets());
}

void BM_CommandSubmitAll(benchmark::State& state)
{
    const std::string list = writeList("1000.xml", makeTargets());
    for (auto _ : state) {
        if (runCommand(list).exitCode != 0)
            state.SkipWithError("the command did not post every target");
    }
}

// What starting and ending the program costs, whatever the list.
void BM_CommandEmptyList(benchmark::State& state)
{
    const std::string list = writeList("empty.xml", {});
    for (auto _ : state) {
        if (runCommand(list).exitCode != 0)
            state.SkipWithError("the command failed over an empty list");
    }
}

// The processor time of a run over an empty list.
void childCpuTime(benchmark::State& state, const std::string& program)
{
    const std::string list = writeList("empty.xml", {});
    for (auto _ : state) {
        const ChildRun run = runCommand(list, program);
        if (run.exitCode != 0)
            state.SkipWithError("the command failed over an empty list");
        state.SetIterationTime(run.cpuSeconds);
    }
}

void BM_HandOverCpu(benchmark::State& state)
{
    childCpuTime(state, QUILLPOST_PROGRAM_PATH);
}

void BM_CliCpu(benchmark::State& state)
{
    childCpuTime(state, QUILLPOST_CLI_PATH);
}

void BM_BareCurlXmlRpc(benchmark::State& state)
{
    postBare(state, makeTargets("xml-rpc"));
}

void runsSubmitAll(benchmark::State& state, std::optional<std::string> kind)
{
    CTargetListModel targets{QList<QIcon>()};
    targets.AppendRows(makeTargets(std::move(kind)));
    CSubmitRuns runs(targets, CPostSettings());
    QEventLoop loop;
    QObject::connect(&runs, &CSubmitRuns::StatusChanged, &loop, [&] {
        if (!runs.IsRunning())
            loop.quit();
    });
    for (auto _ : state) {
        runs.SubmitAll();
        if (runs.IsRunning())
            loop.exec();
    }
    for (int row = 0; row < targets.RowCount(); ++row) {
        if (!targets.Result(row) || !targets.Result(row)->Succeeded()) {
            state.SkipWithError("a post failed");
            break;
        }
    }
}

void BM_RunsSubmitAll(benchmark::State& state)
{
    runsSubmitAll(state, std::nullopt);
}

// Calls whose whole answers are read and judged.
void BM_RunsXmlRpc(benchmark::State& state)
{
    runsSubmitAll(state, "xml-rpc");
}

BENCHMARK(BM_BareCurlPosts)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_BareCurlXmlRpc)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_RunsXmlRpc)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_CommandSubmitAll)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_CommandEmptyList)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(BM_HandOverCpu)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
BENCHMARK(BM_CliCpu)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
BENCHMARK(BM_RunsSubmitAll)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace

int main(int argc, char** argv)
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    std::signal(SIGPIPE, SIG_IGN);
    int result = 0;
    {
        QCoreApplication app(argc, argv);
        benchmark::Initialize(&argc, argv);
        RatioReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        const double command = reporter.PrintRatio(
            "quillpost --submit-all over 1,000 targets", "BM_CommandSubmitAll", "BM_BareCurlPosts");
        std::printf(
            "goal: ratio <= 1.10 (%s)\n", command > 0 && command <= 1.10 ? "met" : "missed");
        reporter.PrintRatio("Its runs in this process", "BM_RunsSubmitAll", "BM_BareCurlPosts");
        reporter.PrintRatio("Its start and end alone", "BM_CommandEmptyList", "BM_BareCurlPosts");
        const double handOver = reporter.PrintRatio(
            "Processor time through quillpost", "BM_HandOverCpu", "BM_CliCpu");
        std::printf("goal: the hand-over loads no window library, ratio <= 1.10 (%s)\n",
            handOver > 0 && handOver <= 1.10 ? "met" : "missed");
        const double xmlRpc = reporter.PrintRatio(
            "Submit All of 1,000 XML-RPC calls", "BM_RunsXmlRpc", "BM_BareCurlXmlRpc");
        std::printf("goal: ratio <= 1.10 (%s)\n", xmlRpc > 0 && xmlRpc <= 1.10 ? "met" : "missed");

        const ChildRun empty = runCommand(writeList("0.xml", {}));
        const ChildRun large = runCommand(writeList("10000.xml", makeLargeTargets()));
        if (empty.exitCode != 0 || large.exitCode != 0) {
            std::printf("the command failed over the lists for its memory\n");
            result = 1;
        } else {
            const double largeMiB = large.peakKiB / 1024.0;
            std::printf("Peak resident memory of quillpost --submit-all: empty list %.1f MiB, "
                        "10,000 targets %.1f MiB (%.2f x empty; goal under 30 MiB: %s)\n",
                empty.peakKiB / 1024.0, largeMiB,
                static_cast<double>(large.peakKiB) / static_cast<double>(empty.peakKiB),
                largeMiB < 30 ? "met" : "missed");
        }
        benchmark::Shutdown();
    }
    curl_global_cleanup();
    return result;
}
