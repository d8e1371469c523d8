#pragma once

#include "data/DataFile.h"
#include "data/XmlDocument.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace datatest {

using Params = std::vector<std::pair<std::string, std::string>>;

struct Target
{
    std::string url;
    Params params;
    bool operator==(const Target& other) const
    {
        return url == other.url && params == other.params;
    }
};

using Targets = std::vector<Target>;

// A record's parameters in order, on a walk of its own.
Params ParamsOf(const CSubmitHost& record);
// The window's load walk over an opened document, as plain values.
Targets ReadTargetValues(CXmlDocument& doc);
TargetRecords ToRecords(const Targets& targets);
// The window's save walk of plain values into a fresh document.
void WriteTargetValues(CXmlDocument& doc, const Targets& targets);

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
// Names in a folder, sorted, without "." and "..".
std::vector<std::string> ListFolder(const std::string& folder);

// Runs body in a forked child and gives its exit code (or 128 + signal).
int RunInChild(const std::function<int()>& body);

class TempFolder
{
public:
    TempFolder();
    std::string Path() const;
    std::string File(const std::string& name) const;

private:
    QTemporaryDir m_dir;
};

// A temporary folder on another file system than the folder given, so that no hard link
// from one to the other can be made (/dev/shm is a tmpfs where the temporary folder is
// usually not). Not valid when no such folder can be made.
class OtherFileSystemFolder
{
public:
    explicit OtherFileSystemFolder(const std::string& than);
    bool IsValid() const { return m_dir != nullptr; }
    std::string Path() const;
    std::string File(const std::string& name) const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

} // namespace datatest
