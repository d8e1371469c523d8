#include "runs/TargetStore.h"

#include "runs/DataFileMessages.h"

#include <utility>

CTargetStore::CTargetStore(CDataLocation location)
    : m_location(std::move(location))
{
}

CTargetStore::CLoaded CTargetStore::Load()
{
    // A file that is there but unusable is kept aside by the next save to it; a starting list
    // read from elsewhere is never saved over, so nothing happens to it.
    return Load(m_location.LoadPath(), m_location.SavePath(), false);
}

CTargetStore::CLoaded CTargetStore::LoadToPost(const std::string& path)
{
    // Without a list of one's own yet there is nothing to post; a list named that is not
    // there is a mistake.
    return path.empty() ? Load(m_location.LoadPath(), std::string(), false)
                        : Load(path, std::string(), true);
}

CTargetStore::CLoaded CTargetStore::LoadToAdd(const std::string& path)
{
    if (path.empty())
        return Load();
    return Load(path, path, false);
}

CTargetStore::CLoaded CTargetStore::Load(
    const std::string& path, const std::string& savePath, bool sayMissing)
{
    CDataFileOutcome outcome = m_file.Load(path);
    CLoaded loaded;
    loaded.m_bOk = outcome.m_bOk || (outcome.m_bMissing && !sayMissing);
    loaded.m_records = std::move(outcome.m_records);
    loaded.m_strMessage = CDataFileMessages::Load(outcome, path, savePath, sayMissing);
    loaded.m_strPath = path;
    m_strListPath = path;
    return loaded;
}

CTargetStore::CSaved CTargetStore::Save(const TargetRecords& records)
{
    return SaveTo(std::string(), records);
}

CTargetStore::CSaved CTargetStore::SaveTo(const std::string& given, const TargetRecords& records)
{
    // Where the folder cannot be made, or is not known, nothing is saved and the outcome says
    // why.
    const std::string path = given.empty() ? m_location.SavePath() : given;
    CDataFileOutcome outcome;
    if (!given.empty() || m_location.MakeFolder(outcome.m_strReason))
        outcome = m_file.Save(path, records);
    // From now on the rows are that list's, also for a command-line run.
    if (outcome.m_bOk)
        m_strListPath = path;
    return CSaved{outcome.m_bOk, CDataFileMessages::Save(outcome, path)};
}
