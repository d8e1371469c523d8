// Feeds any bytes to the data file loader: it must not crash, hang or fail without a
// reason, whatever it loads must come back unchanged after being written again, and the
// size it expects that write to have must be the size written.
#include "core/SubmitHost.h"
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
    CXmlDocument doc;
    if (!doc.StartFromText(std::string(reinterpret_cast<const char*>(data), size))) {
        if (doc.LastError().empty() || doc.FindElement("data"))
            std::abort();
        return 0;
    }
    TargetRecords loaded;
    const TargetsRead read = ReadTargets(doc, loaded);

    CXmlDocument writer;
    if (!WriteTargets(writer, loaded).empty())
        std::abort();
    const std::string text = writer.ToText();
    if (read.isTargetList && read.savedSize != text.size())
        std::abort();
    CXmlDocument reader;
    if (!reader.StartFromText(text))
        std::abort();
    TargetRecords again;
    if (!ReadTargets(reader, again).holdsAll || Flatten(again) != Flatten(loaded))
        std::abort();
    return 0;
}
