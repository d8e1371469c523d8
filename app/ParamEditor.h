#pragma once

#include "app/ParamListModel.h"
#include "core/target/PostParam.h"
#include "core/target/SubmitHost.h"

#include <memory>
#include <optional>

// Changes a target's parameters, as the parameter commands and the IndexNow key dialog do.
// The parameter list shows the target last shown, which is the one changed unless the arrow
// keys moved the selection since: its rows follow the record they show.
class CParamEditor
{
public:
    explicit CParamEditor(CParamListModel& list);

    void Add(const std::shared_ptr<CSubmitHost>& record, CPostParam param);
    // The first parameter equal to oldParam becomes newParam.
    void Edit(const std::shared_ptr<CSubmitHost>& record, const CPostParam& oldParam,
        CPostParam newParam);
    // Edit with an old parameter, Add without.
    void Change(const std::shared_ptr<CSubmitHost>& record,
        const std::optional<CPostParam>& oldParam, CPostParam newParam);
    void Delete(const std::shared_ptr<CSubmitHost>& record, const CPostParam& param);
    void DeleteAll(const std::shared_ptr<CSubmitHost>& record);

private:
    bool IsShown(const std::shared_ptr<CSubmitHost>& record) const;

    CParamListModel& m_list;
};
