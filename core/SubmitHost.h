#pragma once

#include "core/PostParam.h"

#include <list>
#include <string>

// A submit target: the URL a form is posted to and its own ordered POST parameters.
//
// Parameters are read by walks. GetFirstParam/GetNextParam without a position use the
// record's own cursor, which belongs to the window's thread; a walk that may run beside
// another one (building a body) holds its position itself through the ParamPosition
// overloads, so no walk ever moves another walk's place. The record takes no lock: a
// record must never be touched from two threads at once.
class CSubmitHost
{
public:
    using ParamPosition = std::list<CPostParam>::const_iterator;

    CSubmitHost();
    CSubmitHost(const CSubmitHost&) = delete;
    CSubmitHost& operator=(const CSubmitHost&) = delete;
    virtual ~CSubmitHost();

    void AddParam(CPostParam param);
    // The first parameter equal to oldParam takes newParam's name and value in place.
    bool EditParam(CPostParam oldParam, CPostParam newParam);
    // Removes the first parameter equal to param.
    bool DeleteParam(CPostParam param);
    void DeleteAllParams();

    // Walk on the record's own cursor.
    bool GetFirstParam(CPostParam& param);
    bool GetNextParam(CPostParam& param);

    // Walk on a position held by the caller; the record's cursor is left alone.
    bool GetFirstParam(ParamPosition& pos, CPostParam& param) const;
    bool GetNextParam(ParamPosition& pos, CPostParam& param) const;

    // The form-encoded POST body of the parameters, on a walk position of its own.
    std::string GetPostData() const;

private:
    std::list<CPostParam> m_params;
    ParamPosition m_cursor;

public:
    std::string m_strUrl;
};
