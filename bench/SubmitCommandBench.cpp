// Submit All without the window against a local server, each figure beside a baseline made in
// the same run:
// - 1,000 targets on one server that answers at once, beside a bare loop of 1,000 libcurl
//   POSTs of the same bodies: the command line as a child process (quillpost-cli
//   --submit-all FILE, and quillpost --submit-all FILE, which hands over to it; their lines
//   to /dev/null), and the runs it is made of in this process, until they are gone.
// - The post log's cost: those runs beside the same runs with no state folder to keep it in.
// - 1,000 XML-RPC calls, their answers read and judged, beside a bare loop of the same bytes.
// - The program's start and end alone, over an empty list; and the processor time of that
//   beside quillpost-cli's own, which quillpost hands over to: the hand-over's cost, which
//   other load on the machine does not stretch.
// - The child's peak resident memory over 10,000 targets of five parameters each, beside its
//   peak over an empty list.
// The children and the runs here keep their state (post log, list locks) in folders of the
// benchmark's own, never the user's.
#include "PostBaseline.h"
#include "RatioReporter.h"
#include "core/net/PostLimits.h"
#include "core/target/SubmitHost.h"
#include "data/DataFile.h"
#include "runs/SubmitRuns.h"
#include "runs/TargetList.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QScopeGuard>
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

// A program over the list with --submit-all, its standard output thrown away.
ChildRun runCommand(const char* programPath, const std::string& list)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    std::string program = programPath;
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

// Runs the program over the list each iteration; its CPU time goes with the server's.
void runEach(
    benchmark::State& state, const char* program, const std::string& list, const char* failure)
{
    double cpuSeconds = 0;
    for (auto _ : state) {
        const ChildRun run = runCommand(program, list);
        if (run.exitCode != 0)
            state.SkipWithError(failure);
        cpuSeconds += run.cpuSeconds;
    }
    state.counters[RatioReporter::ChildCpuCounter]
        = benchmark::Counter(cpuSeconds, benchmark::Counter::kAvgIterations);
}

void BM_BareCurlPosts(benchmark::State& state)
{
    postBare(state, makeTargets());
}

void submitCommand(benchmark::State& state, const char* program)
{
    runEach(state, program, writeList("1000.xml", makeTargets()),
        "the command did not post every target");
}

void BM_CliSubmitAll(benchmark::State& state)
{
    submitCommand(state, QUILLPOST_CLI_PATH);
}

// The same through quillpost, which hands its command line over.
void BM_CommandSubmitAll(benchmark::State& state)
{
    submitCommand(state, QUILLPOST_PROGRAM_PATH);
}

// What starting and ending the program costs, whatever the list.
void emptyList(benchmark::State& state, const char* program)
{
    runEach(state, program, writeList("empty.xml", {}), "the command failed over an empty list");
}

void BM_CliEmptyList(benchmark::State& state)
{
    emptyList(state, QUILLPOST_CLI_PATH);
}

void BM_CommandEmptyList(benchmark::State& state)
{
    emptyList(state, QUILLPOST_PROGRAM_PATH);
}

// The processor time of a run over an empty list.
void childCpuTime(benchmark::State& state, const char* program)
{
    const std::string list = writeList("empty.xml", {});
    for (auto _ : state) {
        const ChildRun run = runCommand(program, list);
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

// No state folder, so no post log: the variables are the program's own way of being told
// where its state goes, and are back as they were when the guard goes.
auto withoutStateFolder()
{
    const QByteArray stateHome = qgetenv("XDG_STATE_HOME");
    const QByteArray home = qgetenv("HOME");
    qunsetenv("XDG_STATE_HOME");
    qunsetenv("HOME");
    return qScopeGuard([stateHome, home] {
        qputenv("XDG_STATE_HOME", stateHome);
        qputenv("HOME", home);
    });
}

// Submit All as the command line runs it, from the click until the runs are gone: the
// program waits for its post log to be written before it exits.
void runsSubmitAll(benchmark::State& state, std::optional<std::string> kind)
{
    const TargetRecords records = makeTargets(std::move(kind));
    for (auto _ : state) {
        CTargetList targets;
        targets.AppendRows(records);
        {
            CSubmitRuns runs(targets, CPostSettings());
            runs.SetShowLastSuccesses(false);
            QEventLoop loop;
            QObject::connect(&runs, &CSubmitRuns::StatusChanged, &loop, [&] {
                if (!runs.IsRunning())
                    loop.quit();
            });
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
}

void BM_RunsSubmitAll(benchmark::State& state)
{
    runsSubmitAll(state, std::nullopt);
}

void BM_RunsSubmitAllUnlogged(benchmark::State& state)
{
    const auto restore = withoutStateFolder();
    runsSubmitAll(state, std::nullopt);
}

// Calls whose whole answers are read and judged.
void BM_RunsXmlRpc(benchmark::State& state)
{
    runsSubmitAll(state, "xml-rpc");
}

// CPU times are the whole process's: the server's threads, and the runs' own.
#define SUBMIT_BENCHMARK(name, iterations)                                                         \
    BENCHMARK(name)                                                                                \
        ->Unit(benchmark::kMillisecond)                                                            \
        ->UseRealTime()                                                                            \
        ->MeasureProcessCPUTime()                                                                  \
        ->Iterations(iterations)
SUBMIT_BENCHMARK(BM_BareCurlPosts, 5);
SUBMIT_BENCHMARK(BM_BareCurlXmlRpc, 5);
SUBMIT_BENCHMARK(BM_RunsXmlRpc, 5);
SUBMIT_BENCHMARK(BM_CliSubmitAll, 5);
SUBMIT_BENCHMARK(BM_CommandSubmitAll, 5);
SUBMIT_BENCHMARK(BM_CliEmptyList, 20);
SUBMIT_BENCHMARK(BM_CommandEmptyList, 20);
SUBMIT_BENCHMARK(BM_RunsSubmitAll, 5);
SUBMIT_BENCHMARK(BM_RunsSubmitAllUnlogged, 5);
BENCHMARK(BM_HandOverCpu)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);
BENCHMARK(BM_CliCpu)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

// Peak resident memory of the program over an empty list and over 10,000 targets; the ratio,
// or 0 when it failed.
double printPeaks(const char* label, const char* program)
{
    const ChildRun empty = runCommand(program, writeList("0.xml", {}));
    const ChildRun large = runCommand(program, writeList("10000.xml", makeLargeTargets()));
    if (empty.exitCode != 0 || large.exitCode != 0) {
        std::printf("%s failed over the lists for its memory\n", label);
        return 0;
    }
    const double ratio = static_cast<double>(large.peakKiB) / static_cast<double>(empty.peakKiB);
    std::printf("Peak resident memory of %s: empty list %.1f MiB, 10,000 targets %.1f MiB "
                "(%.2f x empty)\n",
        label, empty.peakKiB / 1024.0, large.peakKiB / 1024.0, ratio);
    return ratio;
}

} // namespace

int main(int argc, char** argv)
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
    std::signal(SIGPIPE, SIG_IGN);
    int result = 0;
    {
        QCoreApplication app(argc, argv);
        // The post log and the list locks of the runs and of every child go here.
        const QTemporaryDir state;
        qputenv("XDG_STATE_HOME", QFile::encodeName(state.filePath(QStringLiteral("state"))));
        const QString runtime = state.filePath(QStringLiteral("runtime"));
        QDir().mkpath(runtime);
        QFile::setPermissions(
            runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));

        benchmark::Initialize(&argc, argv);
        RatioReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        const double command = reporter.PrintRatio(
            "quillpost-cli --submit-all over 1,000 targets", "BM_CliSubmitAll", "BM_BareCurlPosts");
        std::printf(
            "goal: ratio <= 1.10 (%s)\n", command > 0 && command <= 1.10 ? "met" : "missed");
        reporter.PrintRatio("  through quillpost", "BM_CommandSubmitAll", "BM_BareCurlPosts");
        reporter.PrintRatio("  its runs in this process", "BM_RunsSubmitAll", "BM_BareCurlPosts");
        reporter.PrintRatio("  its start and end alone", "BM_CliEmptyList", "BM_BareCurlPosts");
        reporter.PrintRatio(
            "  quillpost's start and end", "BM_CommandEmptyList", "BM_BareCurlPosts");
        const double log = reporter.PrintRatio("The post log's cost on Submit All of 1,000 targets",
            "BM_RunsSubmitAll", "BM_RunsSubmitAllUnlogged");
        std::printf("goal: ratio <= 1.05 (%s)\n", log > 0 && log <= 1.05 ? "met" : "missed");
        const double handOver = reporter.PrintRatio(
            "Processor time through quillpost", "BM_HandOverCpu", "BM_CliCpu");
        std::printf("goal: the hand-over loads no window library, ratio <= 1.10 (%s)\n",
            handOver > 0 && handOver <= 1.10 ? "met" : "missed");
        const double xmlRpc = reporter.PrintRatio(
            "Submit All of 1,000 XML-RPC calls", "BM_RunsXmlRpc", "BM_BareCurlXmlRpc");
        std::printf("goal: ratio <= 1.10 (%s)\n", xmlRpc > 0 && xmlRpc <= 1.10 ? "met" : "missed");

        const double peaks = printPeaks("quillpost-cli --submit-all", QUILLPOST_CLI_PATH);
        std::printf("goal: 10,000 targets within 1.2x the empty list's peak (%s)\n",
            peaks > 0 && peaks <= 1.2 ? "met" : "missed");
        if (peaks == 0 || printPeaks("quillpost --submit-all", QUILLPOST_PROGRAM_PATH) == 0)
            result = 1;
        benchmark::Shutdown();
    }
    curl_global_cleanup();
    return result;
}
