// Loading and saving a list of 10,000 targets with 5 parameters each through the document
// cursor, against pugixml reading and writing the same file by itself. The ratios are
// printed at the end.
#include "core/SubmitHost.h"
#include "data/DataFile.h"
#include "data/XmlDocument.h"

#include "RatioReporter.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int TargetCount = 10000;
constexpr int ParamCount = 5;

using Records = std::vector<std::shared_ptr<CSubmitHost>>;

Records MakeRecords()
{
    Records records;
    for (int i = 0; i < TargetCount; ++i) {
        auto host = std::make_shared<CSubmitHost>();
        host->m_strUrl
            = "http://ping" + std::to_string(i) + ".example/submit?list=" + std::to_string(i);
        for (int j = 0; j < ParamCount; ++j)
            host->AddParam(CPostParam("param" + std::to_string(j),
                "http://my-site.example/page/" + std::to_string(i * j)
                    + "?a=1&b=\"two\" <three> \xC3\xA9"));
        records.push_back(std::move(host));
    }
    return records;
}

struct Fixture
{
    QTemporaryDir folder;
    std::string path;
    std::string pugiPath;
    Records records = MakeRecords();
};

Fixture& Shared()
{
    static Fixture fixture;
    return fixture;
}

// The calls the window's save makes.
bool SaveThroughCursor(const Records& records, const std::string& path)
{
    CXmlDocument doc;
    doc.StartFromText("<?xml version=\"1.0\"?>\r\n");
    doc.AppendElement("data");
    doc.EnterElement();
    for (const auto& host : records) {
        doc.AppendElement("Host");
        doc.SetAttribute("URL", host->m_strUrl);
        doc.EnterElement();
        CSubmitHost::ParamPosition pos;
        CPostParam param;
        for (bool more = host->GetFirstParam(pos, param); more;
             more = host->GetNextParam(pos, param)) {
            doc.AppendElement("param");
            doc.SetAttribute("name", param.m_strName);
            doc.SetAttribute("value", param.m_strValue);
        }
        doc.LeaveElement();
    }
    doc.LeaveElement();
    return doc.SaveFile(path);
}

// The calls the window's load makes, each target becoming a record of a row.
Records LoadThroughCursor(const std::string& path)
{
    Records records;
    CXmlDocument doc;
    if (!doc.OpenFile(path) || !doc.FindElement("data"))
        return records;
    doc.EnterElement();
    while (doc.FindElement("Host")) {
        auto host = std::make_shared<CSubmitHost>();
        records.push_back(host);
        host->m_strUrl = doc.GetAttribute("URL");
        doc.EnterElement();
        while (doc.FindElement("param"))
            host->AddParam(CPostParam(doc.GetAttribute("name"), doc.GetAttribute("value")));
        doc.LeaveElement();
    }
    doc.LeaveElement();
    return records;
}

void BM_LoadCursor(benchmark::State& state)
{
    for (auto _ : state) {
        Records records = LoadThroughCursor(Shared().path);
        if (records.size() != TargetCount)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(records);
    }
}

// The document alone: reading and parsing without the walk and the records.
void BM_OpenFile(benchmark::State& state)
{
    for (auto _ : state) {
        CXmlDocument doc;
        if (!doc.OpenFile(Shared().path))
            state.SkipWithError("open failed");
        benchmark::DoNotOptimize(doc);
    }
}

void BM_LoadPugixml(benchmark::State& state)
{
    for (auto _ : state) {
        pugi::xml_document doc;
        if (!doc.load_file(Shared().path.c_str()))
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(doc);
    }
}

void BM_SaveCursor(benchmark::State& state)
{
    for (auto _ : state) {
        if (!SaveThroughCursor(Shared().records, Shared().path))
            state.SkipWithError("save failed");
    }
}

void BM_SavePugixml(benchmark::State& state)
{
    pugi::xml_document doc;
    if (!doc.load_file(Shared().path.c_str()))
        state.SkipWithError("load failed");
    for (auto _ : state) {
        if (!doc.save_file(Shared().pugiPath.c_str(), "", pugi::format_raw, pugi::encoding_utf8))
            state.SkipWithError("save failed");
    }
}

BENCHMARK(BM_LoadCursor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPugixml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCursor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavePugixml)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    Fixture& fixture = Shared();
    fixture.path = DataFilePath(fixture.folder.path().toStdString());
    fixture.pugiPath = fixture.folder.path().toStdString() + "/pugixml.xml";
    if (!SaveThroughCursor(fixture.records, fixture.path)) {
        std::fprintf(stderr, "cannot write %s\n", fixture.path.c_str());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("data file of %d targets x %d params; goal: load and save <= 1.5\n", TargetCount,
        ParamCount);
    reporter.PrintRatio("load", "BM_LoadCursor", "BM_LoadPugixml");
    reporter.PrintRatio("open alone", "BM_OpenFile", "BM_LoadPugixml");
    reporter.PrintRatio("save", "BM_SaveCursor", "BM_SavePugixml");
    benchmark::Shutdown();
    return 0;
}
