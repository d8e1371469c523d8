#pragma once

#include "core/target/PostParam.h"

#include <list>
#include <memory>
#include <optional>
#include <string>

// A submit target: the URL a form is posted to and its own ordered POST parameters.
//
// Parameters are read by walks. GetFirstParam/GetNextParam without a position use the
// record's own cursor; the ParamPosition overloads walk on a position the caller holds, so
// that no walk ever moves another's place, not even one left half done. The program's own
// walks (the parameter list, the form body) all hold their position; the save and the JSON
// body, which copy every text into their documents anyway, read them in place through
// Params(). The record
// takes no lock: it is only touched on the window's thread, and Submit All posts copies of
// it.
class CSubmitHost
{
public:
    using ParamPosition = std::list<CPostParam>::const_iterator;

    CSubmitHost();
    CSubmitHost(const CSubmitHost&) = delete;
    CSubmitHost& operator=(const CSubmitHost&) = delete;
    virtual ~CSubmitHost();

    // The value of the first parameter of that name; none when there is none.
    std::optional<std::string> FirstValue(const std::string& name) const;
    // A copy of the target, for work that must not see it change.
    std::unique_ptr<CSubmitHost> Copy() const;

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
    // The parameters in order, for a walk that reads them where they are rather than
    // copying each out; no cursor moves.
    const std::list<CPostParam>& Params() const { return m_params; }

    // The form-encoded POST body of the parameters, on a walk position of its own.
    std::string GetPostData() const;

private:
    std::list<CPostParam> m_params;
    ParamPosition m_cursor;

public:
    std::string m_strUrl;
    // How the parameters go on the wire, as the data file's "body" attribute says it; none
    // for a form. An unknown kind is kept as it was written (BodyKindOf).
    std::optional<std::string> m_strBodyKind;
    // The site's sitemap or feed, as the data file's "changes" attribute says it: when given,
    // the target posts what changed on the site since it last posted with success. Kept as
    // written, the empty text included.
    std::optional<std::string> m_strChanges;
    // Whether the pages the target announces are checked first (the data file's "check"
    // attribute, written only as "no"). Off for a site that refuses programs.
    bool m_bCheckPages = true;
    // A "check" attribute of a value this version does not know, read as on: kept as written
    // for the save, as a newer version may mean something by it. Dropped when the user sets
    // Check pages.
    std::optional<std::string> m_strCheckUnknown;
};
