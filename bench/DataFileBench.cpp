// Loading and saving a list of 10,000 targets with 5 parameters each through the document
// cursor, against pugixml reading and writing the same file by itself. The ratios are
// printed at the end, with a breakdown of what the cursor does beyond pugixml: on load,
// the records of the targets, the comparison with what a save of them writes (which spares
// the program's own files the strict check) and that check, which a hand-edited file
// passes; on save, building the tree and the durable atomic write.

#include "core/target/SubmitHost.h"
#include "data/DataFile.h"
#include "data/XmlCheck.h"
#include "data/XmlDocument.h"

#include "RatioReporter.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <malloc.h>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int TargetCount = 10000;
constexpr int ParamCount = 5;

using Records = TargetRecords;

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
    // The same list with a line break before every target, as an editor might leave it.
    std::string editedPath;
    std::string pugiPath;
    Records records = MakeRecords();
};

Fixture& Shared()
{
    static Fixture fixture;
    return fixture;
}

// The window's save: the rows' records written through the cursor, then the file.
bool SaveThroughCursor(const Records& records, const std::string& path)
{
    CXmlDocument doc;
    WriteTargets(doc, records);
    return doc.SaveFile(path);
}

// The window's load: the file checked and parsed, each target becoming a record, and the
// list's saved size checked against the limit.
Records LoadThroughCursor(const std::string& path)
{
    CDataFile file;
    return file.Load(path).m_records;
}

void LoadCursor(benchmark::State& state, const std::string& path)
{
    for (auto _ : state) {
        Records records = LoadThroughCursor(path);
        if (records.size() != TargetCount)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(records);
    }
}

void BM_LoadCursor(benchmark::State& state)
{
    LoadCursor(state, Shared().path);
}

void BM_LoadEdited(benchmark::State& state)
{
    LoadCursor(state, Shared().editedPath);
}

// The document alone: reading and parsing without the walk and the records, the strict
// check left to the comparison with a save.
void BM_OpenFile(benchmark::State& state)
{
    for (auto _ : state) {
        CXmlDocument doc;
        if (!doc.OpenFile(Shared().path, CXmlDocument::Check::Deferred))
            state.SkipWithError("open failed");
        benchmark::DoNotOptimize(doc);
    }
}

// The strict check alone, on the file's bytes already in memory.
void BM_CheckOnly(benchmark::State& state)
{
    std::ifstream in(Shared().path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (auto _ : state) {
        if (!XmlCheck::Check(bytes).m_strFault.empty())
            state.SkipWithError("check failed");
    }
}

// The records alone: the same records made from texts already in memory, as the load
// makes them (one allocation per record, text and list entry), and released again.
void BM_RecordsOnly(benchmark::State& state)
{
    const Records& source = Shared().records;
    for (auto _ : state) {
        Records records;
        for (const auto& from : source) {
            auto host = std::make_shared<CSubmitHost>();
            records.push_back(host);
            host->m_strUrl = from->m_strUrl.c_str();
            CSubmitHost::ParamPosition pos;
            CPostParam param;
            for (bool more = from->GetFirstParam(pos, param); more;
                 more = from->GetNextParam(pos, param))
                host->AddParam(CPostParam(param.m_strName.c_str(), param.m_strValue.c_str()));
        }
        benchmark::DoNotOptimize(records);
    }
}

// What a load does after the walk: the document written back and compared with the file's
// text, which spares the strict check.
void BM_CompareWithSave(benchmark::State& state)
{
    CXmlDocument doc;
    doc.OpenFile(Shared().path, CXmlDocument::Check::Deferred);
    TargetRecords records;
    const CTargetsRead read = ReadTargets(doc, records);
    const std::string text(doc.UncheckedText());
    for (auto _ : state) {
        if (!read.m_bSavedShape || !doc.MeasureText(text).m_bSame)
            state.SkipWithError("not the same text");
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

// Building the tree through the cursor, without writing it.
void BM_BuildCursor(benchmark::State& state)
{
    for (auto _ : state) {
        CXmlDocument doc;
        WriteTargets(doc, Shared().records);
        benchmark::DoNotOptimize(doc);
    }
}

// The same tree built with pugixml's own calls: what building costs at the least.
void BM_BuildPugixml(benchmark::State& state)
{
    for (auto _ : state) {
        pugi::xml_document doc;
        pugi::xml_node data = doc.append_child("data");
        for (const auto& host : Shared().records) {
            pugi::xml_node element = data.append_child("Host");
            element.append_attribute("URL").set_value(host->m_strUrl.c_str());
            CSubmitHost::ParamPosition pos;
            CPostParam param;
            for (bool more = host->GetFirstParam(pos, param); more;
                 more = host->GetNextParam(pos, param)) {
                pugi::xml_node child = element.append_child("param");
                child.append_attribute("name").set_value(param.m_strName.c_str());
                child.append_attribute("value").set_value(param.m_strValue.c_str());
            }
        }
        benchmark::DoNotOptimize(doc);
    }
}

// Writing a tree already built: the atomic replace with every write checked and the file
// and its folder synced.
void BM_SaveFileOnly(benchmark::State& state)
{
    CXmlDocument doc;
    WriteTargets(doc, Shared().records);
    for (auto _ : state) {
        if (!doc.SaveFile(Shared().path))
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
BENCHMARK(BM_CheckOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordsOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompareWithSave)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadEdited)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPugixml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveCursor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildCursor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BuildPugixml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFileOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavePugixml)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    // glibc raises its trim and mmap thresholds only after the first large free, so without
    // fixing them the figures depend on what ran earlier in the process. Both sides of every
    // ratio run under the same settings.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);

    Fixture& fixture = Shared();
    fixture.path = DataFilePath(fixture.folder.path().toStdString());
    fixture.editedPath = fixture.folder.path().toStdString() + "/edited.xml";
    fixture.pugiPath = fixture.folder.path().toStdString() + "/pugixml.xml";
    if (!SaveThroughCursor(fixture.records, fixture.path)) {
        std::fprintf(stderr, "cannot write %s\n", fixture.path.c_str());
        return 1;
    }
    CXmlDocument edited;
    WriteTargets(edited, fixture.records);
    std::string text = edited.ToText();
    for (std::size_t at = text.find("<Host"); at != std::string::npos;
         at = text.find("<Host", at + 6))
        text.insert(at, "\n");
    std::ofstream(fixture.editedPath, std::ios::binary) << text;
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("data file of %d targets x %d params; goal: load <= 8, save <= 1.5\n", TargetCount,
        ParamCount);
    reporter.PrintRatio("load", "BM_LoadCursor", "BM_LoadPugixml");
    std::printf("  of which, against the same baseline:\n");
    reporter.PrintRatio("  document alone", "BM_OpenFile", "BM_LoadPugixml");
    reporter.PrintRatio("  records alone", "BM_RecordsOnly", "BM_LoadPugixml");
    reporter.PrintRatio("  compared with a save", "BM_CompareWithSave", "BM_LoadPugixml");
    reporter.PrintRatio("load of a hand-edited file", "BM_LoadEdited", "BM_LoadPugixml");
    reporter.PrintRatio("  of which the strict check", "BM_CheckOnly", "BM_LoadPugixml");
    reporter.PrintRatio("save", "BM_SaveCursor", "BM_SavePugixml");
    std::printf("  of which, against the same baseline:\n");
    reporter.PrintRatio("  building the tree", "BM_BuildCursor", "BM_SavePugixml");
    reporter.PrintRatio("  (pugixml building it)", "BM_BuildPugixml", "BM_SavePugixml");
    reporter.PrintRatio("  writing it, synced", "BM_SaveFileOnly", "BM_SavePugixml");
    benchmark::Shutdown();
    return 0;
}
