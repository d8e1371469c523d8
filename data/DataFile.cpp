#include "data/DataFile.h"

#include "core/SubmitHost.h"
#include "data/XmlDocument.h"

std::string DataFilePath(const std::string& folder)
{
    if (folder.empty())
        return "submitdata.xml";
    if (folder.back() == '/')
        return folder + "submitdata.xml";
    return folder + "/submitdata.xml";
}

bool ReadTargets(CXmlDocument& doc, const TargetSink& addTarget)
{
    if (!doc.FindElement("data"))
        return false;
    doc.EnterElement();
    while (doc.FindElement("Host")) {
        const std::shared_ptr<CSubmitHost> record = addTarget(doc.GetAttribute("URL"));
        record->m_strUrl = doc.GetAttribute("URL");
        doc.EnterElement();
        while (doc.FindElement("param"))
            record->AddParam(CPostParam(doc.GetAttribute("name"), doc.GetAttribute("value")));
        doc.LeaveElement();
    }
    doc.LeaveElement();
    return true;
}

void WriteTargets(CXmlDocument& doc, const std::vector<std::shared_ptr<CSubmitHost>>& records)
{
    doc.StartFromText("<?xml version=\"1.0\"?>\r\n");
    doc.AppendElement("data");
    doc.EnterElement();
    for (const std::shared_ptr<CSubmitHost>& record : records) {
        if (!record)
            continue;
        doc.AppendElement("Host");
        doc.SetAttribute("URL", record->m_strUrl);
        doc.EnterElement();
        // A walk of its own: a Submit All run may be walking the same record.
        CSubmitHost::ParamPosition pos;
        CPostParam param;
        for (bool more = record->GetFirstParam(pos, param); more;
             more = record->GetNextParam(pos, param)) {
            doc.AppendElement("param");
            doc.SetAttribute("name", param.m_strName);
            doc.SetAttribute("value", param.m_strValue);
        }
        doc.LeaveElement();
    }
    doc.LeaveElement();
}
