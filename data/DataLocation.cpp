#include "data/DataLocation.h"

#include "data/DataFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

namespace {

std::string Encoded(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString ListIn(const QString& folder)
{
    return QFile::decodeName(DataFilePath(Encoded(folder)).c_str());
}

// Links and "..", as in /bin against /usr/bin, are followed where the folders exist.
bool SameFolder(const QString& a, const QString& b)
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const auto real = [](const QString& folder) {
        const QFileInfo info(folder);
        const QString canonical = info.canonicalFilePath();
        return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
    };
    return real(a) == real(b);
}

} // namespace

CDataLocation::CDataLocation(QString folder)
    : m_folder(std::move(folder))
{
}

CDataLocation::CDataLocation(QString folder, QStringList startingLists)
    : m_folder(std::move(folder))
    , m_startingLists(std::move(startingLists))
{
}

CDataLocation CDataLocation::Resolve(const Inputs& inputs)
{
    // Saving writes a new file beside the list and renames it over the list, so the folder
    // itself must be writable: a writable list in a read-only folder could never be saved.
    // It is read instead, as a starting list.
    const QFileInfo programFolder(inputs.programFolder);
    if (programFolder.isDir() && programFolder.isWritable()
        && !SameFolder(inputs.programFolder, inputs.installBinFolder))
        return CDataLocation(inputs.programFolder);

    QStringList startingLists{ListIn(inputs.programFolder)};
    for (const QString& folder : inputs.shareFolders)
        startingLists << ListIn(folder);
    return CDataLocation(inputs.userFolder, std::move(startingLists));
}

std::string CDataLocation::SavePath() const
{
    return Encoded(ListIn(m_folder));
}

std::string CDataLocation::LoadPath() const
{
    const QString own = ListIn(m_folder);
    if (QFileInfo::exists(own))
        return Encoded(own);
    for (const QString& list : m_startingLists) {
        if (QFileInfo::exists(list))
            return Encoded(list);
    }
    return Encoded(own);
}

bool CDataLocation::MakeFolder() const
{
    return QDir().mkpath(m_folder);
}
