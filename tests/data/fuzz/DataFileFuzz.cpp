// Feeds any bytes to the data file loader: it must not crash, hang or fail without a
// reason, a check deferred until the text is compared with a save of what was read from it
// must take exactly what the check made at once takes, whatever it loads must come back
// unchanged after being written again, and the size counted for that write must be the
// size written.
#include "core/target/SubmitHost.h"
#include "data/DataFile.h"
#include "data/XmlDocument.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

// The checked document holds only characters a data file can hold, so nothing read is
// changed by the writer.
std::vector<std::string> Flatten(const TargetRecords& records)
{
    std::vector<std::string> flat;
    for (const auto& host : records) {
        flat.push_back("H" + host->m_strUrl);
        CSubmitHost::ParamPosition pos;
        CPostParam param;
        for (bool more = host->GetFirstParam(pos, param); more;
             more = host->GetNextParam(pos, param)) {
            flat.push_back("N" + param.m_strName);
            flat.push_back("V" + param.m_strValue);
        }
    }
    return flat;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    CXmlDocument deferred;
    TargetRecords deferredRead;
    bool deferredTakes = deferred.StartFromText(input, CXmlDocument::Check::Deferred);
    if (deferredTakes) {
        const CTargetsRead read = ReadTargets(deferred, deferredRead);
        deferredTakes = CompareWithSave(deferred, deferredRead, read).m_bWellFormed;
    }
    if (!deferredTakes && deferred.LastError().empty())
        std::abort();

    CXmlDocument doc;
    if (!doc.StartFromText(input)) {
        if (doc.LastError().empty() || doc.FindElement("data") || deferredTakes)
            std::abort();
        return 0;
    }
    TargetRecords loaded;
    ReadTargets(doc, loaded);
    if (!deferredTakes || Flatten(deferredRead) != Flatten(loaded))
        std::abort();

    CXmlDocument writer;
    if (!WriteTargets(writer, loaded).empty())
        std::abort();
    const std::string text = writer.ToText();
    if (SavedSize(loaded) != text.size())
        std::abort();
    CXmlDocument reader;
    if (!reader.StartFromText(text))
        std::abort();
    TargetRecords again;
    if (!ReadTargets(reader, again).m_bHoldsAll || Flatten(again) != Flatten(loaded))
        std::abort();
    return 0;
}
