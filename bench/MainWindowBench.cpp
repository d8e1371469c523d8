// Filling the main window's target list with 10,000 targets of 5 parameters each, row by
// row as the data file load does it, against building the same records without a window.
// The ratio window/records is printed at the end.
//
// Then the window opened over a data file of 100,000 targets against one over an empty list:
// the time from making the window to the first paint of its target list, as a ratio, and the
// longest stall of the window's event loop while the rows come in after it (the largest gap
// between ticks of a 1 ms timer).
#include "app/QuillpostDlg.h"
#include "app/TargetListModel.h"
#include "core/target/SubmitHost.h"

#include "RatioReporter.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QEventLoop>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int TargetCount = 10000;
constexpr int ParamCount = 5;

struct StoredTarget
{
    std::string url;
    std::vector<CPostParam> params;
};

// What the data file would hold, so that neither run pays for making the texts.
const std::vector<StoredTarget>& storedTargets()
{
    static const std::vector<StoredTarget> targets = [] {
        std::vector<StoredTarget> list(TargetCount);
        for (int i = 0; i < TargetCount; ++i) {
            list[i].url = "http://ping" + std::to_string(i) + ".example/xmlrpc/submit";
            for (int p = 0; p < ParamCount; ++p)
                list[i].params.emplace_back("parameter" + std::to_string(p),
                    "http://www.mysite.example/page/" + std::to_string(i));
        }
        return list;
    }();
    return targets;
}

std::shared_ptr<CSubmitHost> makeRecord(const StoredTarget& stored)
{
    auto record = std::make_shared<CSubmitHost>();
    record->m_strUrl = stored.url;
    for (const CPostParam& param : stored.params)
        record->AddParam(param);
    return record;
}

void BM_BuildRecords(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<std::shared_ptr<CSubmitHost>> records;
        for (const StoredTarget& stored : storedTargets())
            records.push_back(makeRecord(stored));
        benchmark::DoNotOptimize(records.data());
        state.PauseTiming();
        records.clear();
        state.ResumeTiming();
    }
}

void BM_FillTargetList(benchmark::State& state)
{
    QTemporaryDir folder;
    CQuillpostDlg dlg(folder.path());
    dlg.show();
    QApplication::processEvents();
    auto* model = qobject_cast<CTargetListModel*>(
        dlg.findChild<QTableView*>(QStringLiteral("targetList"))->model());
    for (auto _ : state) {
        // Every record first, then the rows in one go, as the data file load does.
        std::vector<std::shared_ptr<CSubmitHost>> records;
        for (const StoredTarget& stored : storedTargets())
            records.push_back(makeRecord(stored));
        model->AppendRows(std::move(records));
        // Until the list has laid itself out and painted, the window is not filled.
        QApplication::processEvents();
        state.PauseTiming();
        model->Clear();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

// The same rows appended one at a time, as Add appends them: each must cost about the same
// however long the list already is.
void BM_AppendRowByRow(benchmark::State& state)
{
    QTemporaryDir folder;
    CQuillpostDlg dlg(folder.path());
    auto* model = qobject_cast<CTargetListModel*>(
        dlg.findChild<QTableView*>(QStringLiteral("targetList"))->model());
    for (auto _ : state) {
        for (const StoredTarget& stored : storedTargets())
            model->AppendRow(makeRecord(stored));
        state.PauseTiming();
        model->Clear();
        state.ResumeTiming();
    }
}

constexpr int LongList = 100000;

// A folder holding a data file of count targets, byte for byte as the program saves them.
QString ListFolder(int count)
{
    static QTemporaryDir root;
    const QString folder = root.filePath(QString::number(count));
    if (QDir(folder).exists())
        return folder;
    QDir().mkpath(folder);
    std::ofstream file(
        QDir(folder).filePath(QStringLiteral("submitdata.xml")).toStdString(), std::ios::binary);
    file << "<?xml version=\"1.0\"?>" << (count > 0 ? "<data>" : "<data/>");
    for (int i = 0; i < count; ++i) {
        file << "<Host URL=\"http://ping" << i << ".example/xmlrpc/submit\">";
        for (int p = 0; p < ParamCount; ++p)
            file << "<param name=\"parameter" << p << "\" value=\"http://www.mysite.example/page/"
                 << i << "\"/>";
        file << "</Host>";
    }
    if (count > 0)
        file << "</data>";
    return folder;
}

// Notes the first paint of the watched widget.
class FirstPaint : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_paintedMs < 0)
            m_paintedMs = Ms();
        return false;
    }
    double Ms() const { return m_clock.nsecsElapsed() / 1e6; }
    QElapsedTimer m_clock;
    double m_paintedMs = -1;
};

double g_maxStallMs = 0;
double g_maxStallCpuMs = 0;
std::vector<double> g_loadedMs;

// The window thread's own CPU time: what a turn of its event loop did, without the time other
// processes of a busy machine had the processor.
double ThreadCpuMs()
{
    timespec now = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// The window made and shown as the program does it, timed to the first paint of its target
// list; then, untimed, the event loop runs with a 1 ms timer until every row is in.
void openWindow(benchmark::State& state, int count)
{
    const QString folder = ListFolder(count);
    for (auto _ : state) {
        FirstPaint paint;
        paint.m_clock.start();
        auto dlg = std::make_unique<CQuillpostDlg>(folder);
        QWidget* list = dlg->findChild<QTableView*>(QStringLiteral("targetList"))->viewport();
        list->installEventFilter(&paint);
        dlg->show();
        while (paint.m_paintedMs < 0)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(paint.m_paintedMs / 1000.0);
        state.PauseTiming();

        QEventLoop loop;
        QObject::connect(dlg.get(), &CQuillpostDlg::LoadFinished, &loop, &QEventLoop::quit);
        double lastTick = paint.Ms();
        double lastTickCpu = ThreadCpuMs();
        QTimer ticker;
        ticker.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            const double now = paint.Ms();
            const double nowCpu = ThreadCpuMs();
            g_maxStallMs = std::max(g_maxStallMs, now - lastTick);
            g_maxStallCpuMs = std::max(g_maxStallCpuMs, nowCpu - lastTickCpu);
            lastTick = now;
            lastTickCpu = nowCpu;
        });
        ticker.start(1);
        if (dlg->IsLoading())
            loop.exec();
        ticker.stop();
        g_loadedMs.push_back(paint.Ms());
        list->removeEventFilter(&paint);
        dlg.reset();
        state.ResumeTiming();
    }
}

void BM_OpenEmpty(benchmark::State& state)
{
    openWindow(state, 0);
}

void BM_OpenLongList(benchmark::State& state)
{
    g_maxStallMs = g_maxStallCpuMs = 0;
    g_loadedMs.clear();
    openWindow(state, LongList);
}

BENCHMARK(BM_BuildRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillTargetList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendRowByRow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenEmpty)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(9);
BENCHMARK(BM_OpenLongList)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(9);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double ratio
        = reporter.PrintRatio("Filling the target list", "BM_FillTargetList", "BM_BuildRecords");
    std::printf("goal: ratio <= 3 (%s)\n", ratio > 0 && ratio <= 3 ? "met" : "missed");
    reporter.PrintRatio("Appending row by row, hidden", "BM_AppendRowByRow", "BM_BuildRecords");
    const double paint = reporter.PrintRatio(
        "First paint with 100,000 targets", "BM_OpenLongList", "BM_OpenEmpty");
    std::printf("goal: first paint with 100,000 targets within 2x the empty list's (%s)\n",
        paint > 0 && paint <= 2 ? "met" : "missed");
    std::printf("Longest event-loop stall while 100,000 rows fill in: %.1f ms (%.1f ms of the "
                "window thread's CPU time)\n",
        g_maxStallMs, g_maxStallCpuMs);
    std::printf("goal: no stall over 50 ms (%s)\n", g_maxStallMs <= 50 ? "met" : "missed");
    if (!g_loadedMs.empty()) {
        std::sort(g_loadedMs.begin(), g_loadedMs.end());
        std::printf("Every one of the 100,000 rows in after %.1f ms (median)\n",
            g_loadedMs[g_loadedMs.size() / 2]);
    }
    benchmark::Shutdown();
    return 0;
}
