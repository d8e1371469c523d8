// Feeds any bytes to the data file loader: it must not crash, hang or fail without a
// reason, and whatever it loads must come back unchanged after being written again.
#include "core/SubmitHost.h"
#include "data/DataFile.h"
#include "data/Utf8.h"
#include "data/XmlDocument.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using Records = TargetRecords;

Records Load(CXmlDocument& doc)
{
    Records records;
    ReadTargets(doc, records);
    return records;
}

// Loaded values may hold what a character reference named (a lone surrogate); the writer
// stores those as U+FFFD.
std::vector<std::string> Flatten(const Records& records)
{
    std::vector<std::string> flat;
    for (const auto& host : records) {
        flat.push_back("H" + ToXmlChars(host->m_strUrl));
        CSubmitHost::ParamPosition pos;
        CPostParam param;
        for (bool more = host->GetFirstParam(pos, param); more;
             more = host->GetNextParam(pos, param)) {
            flat.push_back("N" + ToXmlChars(param.m_strName));
            flat.push_back("V" + ToXmlChars(param.m_strValue));
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
    const Records loaded = Load(doc);

    CXmlDocument writer;
    WriteTargets(writer, loaded);
    CXmlDocument reader;
    if (!reader.StartFromText(writer.ToText()))
        std::abort();
    if (Flatten(Load(reader)) != Flatten(loaded))
        std::abort();
    return 0;
}
