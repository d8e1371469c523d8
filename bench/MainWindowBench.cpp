// Filling the main window's target list with 10,000 targets of 5 parameters each, row by
// row as the data file load does it, against building the same records without a window.
// The ratio window/records is printed at the end.
#include "app/QuillpostDlg.h"
#include "app/TargetListModel.h"
#include "core/SubmitHost.h"

#include "RatioReporter.h"

#include <QApplication>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
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

BENCHMARK(BM_BuildRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillTargetList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendRowByRow)->Unit(benchmark::kMillisecond);

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
    benchmark::Shutdown();
    return 0;
}
