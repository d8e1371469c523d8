#include "core/target/Placeholders.h"

#include "core/target/SubmitHost.h"

bool CheckPlaceholders(const CSubmitHost& host, CText& refusal)
{
    if (host.m_strChanges && host.m_strChanges->find(PlaceholderSite) != std::string::npos) {
        refusal
            = CText(QT_TRANSLATE_NOOP("Quillpost", "Replace “%1” in “Changes from” with your own"),
                {PlaceholderSite});
        return false;
    }
    CSubmitHost::ParamPosition pos;
    CPostParam param;
    for (bool more = host.GetFirstParam(pos, param); more; more = host.GetNextParam(pos, param)) {
        for (const char* placeholder : {PlaceholderSite, PlaceholderKey}) {
            if (param.m_strValue.find(placeholder) == std::string::npos)
                continue;
            refusal = CText(
                QT_TRANSLATE_NOOP("Quillpost", "Replace “%1” in the parameter “%2” with your own"),
                {placeholder, param.m_strName});
            return false;
        }
    }
    return true;
}
