#include "data/DataFile.h"

#include "core/target/SubmitHost.h"
#include "core/text/XmlChars.h"
#include "data/XmlDocument.h"

#include <algorithm>
#include <utility>

namespace {

bool IsXmlText(const std::string& text)
{
    return FindBadXmlChar(text) == std::string::npos;
}

// The "check" attribute a save writes: "no" for a target without page checks, an unknown
// value as it was read, and none for the usual target, so that older lists save unchanged.
const std::string* CheckAttribute(const CSubmitHost& record)
{
    static const std::string off = "no";
    if (!record.m_bCheckPages)
        return &off;
    return record.m_strCheckUnknown ? &*record.m_strCheckUnknown : nullptr;
}

} // namespace

std::string DataFilePath(const std::string& folder)
{
    if (folder.empty())
        return "submitdata.xml";
    if (folder.back() == '/')
        return folder + "submitdata.xml";
    return folder + "/submitdata.xml";
}

CTargetsRead ReadTargets(CXmlDocument& doc, TargetRecords& records)
{
    CTargetsRead read;
    if (!doc.FindElement("data"))
        return read;
    read.m_bTargetList = true;
    // What the walk takes, against what the document holds.
    std::uint64_t elements = 1;
    std::uint64_t attributes = 0;
    // What a save of the records would write: every attribute, in every element.
    std::uint64_t savedAttributes = 0;
    bool xmlText = true;
    doc.EnterElement();
    while (doc.FindElement("Host")) {
        CSubmitHost* record = records.emplace_back(std::make_shared<CSubmitHost>()).get();
        record->m_strUrl = doc.GetAttribute("URL");
        ++elements;
        attributes += doc.HasAttribute("URL");
        savedAttributes += 1;
        xmlText = xmlText && IsXmlText(record->m_strUrl);
        // Optional attributes are content the list holds, read when they are there.
        for (const auto& [name, value] : {std::pair("body", &record->m_strBodyKind),
                 std::pair("changes", &record->m_strChanges)}) {
            if (!doc.HasAttribute(name))
                continue;
            *value = doc.GetAttribute(name);
            ++attributes;
            ++savedAttributes;
            xmlText = xmlText && IsXmlText(**value);
        }
        // Only "no" turns the checks off: what else a hand or a newer version wrote leaves
        // them on and is kept.
        if (doc.HasAttribute("check")) {
            std::string check = doc.GetAttribute("check");
            ++attributes;
            ++savedAttributes;
            xmlText = xmlText && IsXmlText(check);
            record->m_bCheckPages = check != "no";
            if (record->m_bCheckPages)
                record->m_strCheckUnknown = std::move(check);
        }
        doc.EnterElement();
        while (doc.FindElement("param")) {
            CPostParam param(doc.GetAttribute("name"), doc.GetAttribute("value"));
            ++elements;
            attributes += doc.HasAttribute("name") + doc.HasAttribute("value");
            savedAttributes += 2;
            xmlText = xmlText && IsXmlText(param.m_strName) && IsXmlText(param.m_strValue);
            record->AddParam(std::move(param));
        }
        doc.LeaveElement();
    }
    doc.LeaveElement();
    const CXmlDocument::CContents contents = doc.CountContents();
    read.m_bHoldsAll = !contents.m_bOther && contents.m_elements == elements
        && contents.m_attributes == attributes;
    read.m_bSavedShape = read.m_bHoldsAll && attributes == savedAttributes && xmlText;
    return read;
}

std::vector<std::size_t> WriteTargets(CXmlDocument& doc, const TargetRecords& records)
{
    std::vector<std::size_t> altered;
    doc.StartFromText("<?xml version=\"1.0\"?>\r\n");
    doc.AppendElement("data");
    doc.EnterElement();
    for (std::size_t i = 0; i < records.size(); ++i) {
        const CSubmitHost* record = records[i].get();
        if (!record)
            continue;
        // The document checks every text it is given and tells which ones it altered, so
        // that no text is checked twice.
        bool valid = true;
        const auto set = [&](const std::string& name, const std::string& value) {
            bool replaced = false;
            doc.SetAttribute(name, value, &replaced);
            valid = valid && !replaced;
        };
        doc.AppendElement("Host");
        set("URL", record->m_strUrl);
        for (const auto& [name, value] : {std::pair("body", &record->m_strBodyKind),
                 std::pair("changes", &record->m_strChanges)}) {
            if (*value)
                set(name, **value);
        }
        if (const std::string* check = CheckAttribute(*record))
            set("check", *check);
        doc.EnterElement();
        // In place: the document copies each text anyway.
        for (const CPostParam& param : record->Params()) {
            doc.AppendElement("param");
            set("name", param.m_strName);
            set("value", param.m_strValue);
        }
        doc.LeaveElement();
        if (!valid)
            altered.push_back(i);
    }
    doc.LeaveElement();
    return altered;
}

CSaveOfRead CompareWithSave(
    CXmlDocument& doc, const TargetRecords& records, const CTargetsRead& read)
{
    CSaveOfRead save;
    // A document of the very shape a save builds, holding only texts a save writes as they
    // are, is the document a save of the records builds: if pugixml writes it back as the
    // text it came from, that text is what the save writes. Cheaper than building the
    // document anew, and what passes for nearly every load.
    if (read.m_bSavedShape && !doc.UncheckedText().empty()) {
        const CXmlDocument::CTextMeasure text = doc.MeasureText(doc.UncheckedText());
        save.m_bSame = text.m_bSame;
        save.m_size = text.m_size;
    }
    if (!save.m_bSame)
        save.m_size = SavedSize(records);
    save.m_bWellFormed = doc.FinishCheck(save.m_bSame);
    return save;
}

std::uint64_t SavedSize(const TargetRecords& records)
{
    // A value as the writer escapes it: "&quot;" for a quote is five bytes more, "&#10;" for
    // a line feed four. Comparisons rather than a table, so that the compiler can take many
    // bytes at a time.
    const auto valueSize = [](const std::string& value) {
        std::size_t extra = 0;
        for (const char c : value) {
            extra += (c == '"') * 5u + (c == '&') * 4u + (c == '<') * 3u
                + ((c == '\t') + (c == '\n') + (c == '\r')) * 4u;
        }
        return std::uint64_t(value.size() + extra);
    };
    // <?xml version="1.0"?><data/>, and <data></data> once it has a target.
    std::uint64_t size = records.empty() ? 28 : 34;
    for (const std::shared_ptr<CSubmitHost>& record : records) {
        // <Host URL=""/>, or <Host URL=""></Host> around parameters; ` body=""`,
        // ` changes=""` and ` check=""` after the URL.
        size += 14 + valueSize(record->m_strUrl);
        if (record->m_strBodyKind)
            size += 8 + valueSize(*record->m_strBodyKind);
        if (record->m_strChanges)
            size += 11 + valueSize(*record->m_strChanges);
        if (const std::string* check = CheckAttribute(*record))
            size += 9 + valueSize(*check);
        CSubmitHost::ParamPosition pos;
        CPostParam param;
        bool more = record->GetFirstParam(pos, param);
        if (more)
            size += 6;
        for (; more; more = record->GetNextParam(pos, param)) {
            // <param name="" value=""/>
            size += 25 + valueSize(param.m_strName) + valueSize(param.m_strValue);
        }
    }
    return size;
}

CDataFileOutcome CDataFile::Load(const std::string& path)
{
    CDataFileOutcome outcome;
    CXmlDocument doc;
    CTargetsRead read;
    // The program's own files, the usual case, pass the strict check most cheaply: by being
    // exactly what a save of what was read from them writes.
    if (!doc.OpenFile(path, CXmlDocument::Check::Deferred)) {
        outcome.m_bMissing = doc.FileMissing();
        outcome.m_strReason = doc.LastError();
    } else {
        read = ReadTargets(doc, outcome.m_records);
        const CSaveOfRead save = CompareWithSave(doc, outcome.m_records, read);
        if (!save.m_bWellFormed)
            outcome.m_strReason = doc.LastError();
        else if (!read.m_bTargetList)
            outcome.m_strReason = "its root element is not \"data\"";
        // Another encoding, or many characters written as references, can make a file
        // within the limit a list beyond it, one that no save could write.
        else if (save.m_size > CXmlDocument::MaxFileSize)
            outcome.m_strReason = "the list would be saved as more than "
                + FileAccess::MiB(CXmlDocument::MaxFileSize);
        else
            outcome.m_bOk = true;
    }
    if (!outcome.m_bOk) {
        outcome.m_records.clear();
        read.m_bHoldsAll = false;
    }
    // A file that is there but was not loaded is kept aside by the next save; one that is
    // not a file at all is never replaced.
    const FileAccess::CFileStamp& stamp = doc.Stamp();
    if (!outcome.m_bOk && stamp.m_bExists && stamp.m_bRegular)
        outcome.m_strBackupPath = BackupPath(path);
    m_known[path] = CKnown{stamp, read.m_bHoldsAll || !stamp.m_bExists};
    return outcome;
}

CDataFileOutcome CDataFile::Save(const std::string& path, const TargetRecords& records)
{
    CDataFileOutcome outcome;
    CXmlDocument doc;
    const std::vector<std::size_t> altered = WriteTargets(doc, records);

    // A file where none was, or one that changed since, counts as one the list does not
    // hold; so does any file at a path this program never read or wrote.
    const FileAccess::CFileStamp now = FileAccess::StampOfPath(path);
    const auto known = m_known.find(path);
    const bool holdsAll
        = known != m_known.end() && known->second.m_bListHoldsAll && known->second.m_stamp == now;
    if (now.m_bExists && !holdsAll)
        doc.KeepReplacedFileAs(BackupPath(path));

    outcome.m_bOk = doc.SaveFile(path);
    outcome.m_bReplaced = doc.FileReplaced();
    outcome.m_strReason = doc.LastError();
    if (outcome.m_bOk || outcome.m_bReplaced) {
        m_known[path] = CKnown{doc.Stamp(), true};
        if (now.m_bExists && !holdsAll)
            outcome.m_strBackupPath = BackupPath(path);
        outcome.m_alteredCount = altered.size();
        for (std::size_t i = 0; i < std::min(altered.size(), AlteredUrlsShown); ++i)
            outcome.m_alteredUrls.push_back(ToXmlChars(records[altered[i]]->m_strUrl));
    }
    return outcome;
}
