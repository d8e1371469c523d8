#include "app/ParamEditor.h"

#include <utility>

CParamEditor::CParamEditor(CParamListModel& list)
    : m_list(list)
{
}

bool CParamEditor::IsShown(const std::shared_ptr<CSubmitHost>& record) const
{
    return record == m_list.Record();
}

void CParamEditor::Add(const std::shared_ptr<CSubmitHost>& record, CPostParam param)
{
    if (IsShown(record))
        m_list.AddParam(std::move(param));
    else
        record->AddParam(std::move(param));
}

void CParamEditor::Edit(
    const std::shared_ptr<CSubmitHost>& record, const CPostParam& oldParam, CPostParam newParam)
{
    if (IsShown(record))
        m_list.EditParam(oldParam, std::move(newParam));
    else
        record->EditParam(oldParam, std::move(newParam));
}

void CParamEditor::Change(const std::shared_ptr<CSubmitHost>& record,
    const std::optional<CPostParam>& oldParam, CPostParam newParam)
{
    if (oldParam)
        Edit(record, *oldParam, std::move(newParam));
    else
        Add(record, std::move(newParam));
}

void CParamEditor::Delete(const std::shared_ptr<CSubmitHost>& record, const CPostParam& param)
{
    if (IsShown(record))
        m_list.DeleteParam(param);
    else
        record->DeleteParam(param);
}

void CParamEditor::DeleteAll(const std::shared_ptr<CSubmitHost>& record)
{
    if (IsShown(record))
        m_list.DeleteAllParams();
    else
        record->DeleteAllParams();
}
