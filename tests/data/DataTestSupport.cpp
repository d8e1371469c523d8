#include "DataTestSupport.h"

#include "core/target/SubmitHost.h"
#include "data/DataFile.h"

#include <QDir>

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace datatest {

Params ParamsOf(const CSubmitHost& record)
{
    Params params;
    CSubmitHost::ParamPosition pos;
    CPostParam param;
    for (bool more = record.GetFirstParam(pos, param); more; more = record.GetNextParam(pos, param))
        params.emplace_back(param.m_strName, param.m_strValue);
    return params;
}

Targets ReadTargetValues(CXmlDocument& doc)
{
    TargetRecords records;
    ReadTargets(doc, records);
    Targets targets;
    for (const auto& record : records)
        targets.push_back({record->m_strUrl, ParamsOf(*record)});
    return targets;
}

TargetRecords ToRecords(const Targets& targets)
{
    TargetRecords records;
    for (const Target& target : targets) {
        auto record = std::make_shared<CSubmitHost>();
        record->m_strUrl = target.url;
        for (const auto& [name, value] : target.params)
            record->AddParam(CPostParam(name, value));
        records.push_back(std::move(record));
    }
    return records;
}

void WriteTargetValues(CXmlDocument& doc, const Targets& targets)
{
    WriteTargets(doc, ToRecords(targets));
}

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

std::vector<std::string> ListFolder(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        throw std::runtime_error("cannot list " + folder);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

int RunInChild(const std::function<int()>& body)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error("fork failed");
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) { }
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return WEXITSTATUS(status);
}

TempFolder::TempFolder()
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot make a temporary folder");
}

std::string TempFolder::Path() const
{
    return m_dir.path().toStdString();
}

std::string TempFolder::File(const std::string& name) const
{
    return Path() + "/" + name;
}

OtherFileSystemFolder::OtherFileSystemFolder(const std::string& than)
{
    struct stat here = {};
    if (::stat(than.c_str(), &here) != 0)
        return;
    const std::string user = "/run/user/" + std::to_string(::getuid());
    for (const std::string& place : {std::string("/dev/shm"), user, std::string("/run/shm"),
             std::string("/var/tmp"), std::string("/tmp"), QDir::homePath().toStdString()}) {
        struct stat there = {};
        if (::stat(place.c_str(), &there) != 0 || there.st_dev == here.st_dev)
            continue;
        auto dir = std::make_unique<QTemporaryDir>(
            QString::fromStdString(place + "/quillpost-test-XXXXXX"));
        if (dir->isValid()) {
            m_dir = std::move(dir);
            return;
        }
    }
}

std::string OtherFileSystemFolder::Path() const
{
    return m_dir ? m_dir->path().toStdString() : std::string();
}

std::string OtherFileSystemFolder::File(const std::string& name) const
{
    return Path() + "/" + name;
}

} // namespace datatest
