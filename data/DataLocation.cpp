#include "data/DataLocation.h"

#include "core/system/StateFolder.h"
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

// A path that names the same folder from any working folder. Not QDir::isAbsolutePath,
// which takes a Qt resource path (":/x") for one.
bool IsAbsolute(const QString& path)
{
    return path.startsWith(QLatin1Char('/'));
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
    : m_strFolder(std::move(folder))
{
}

CDataLocation::CDataLocation(QString folder, QStringList startingLists, std::string unknown)
    : m_strFolder(std::move(folder))
    , m_startingLists(std::move(startingLists))
    , m_strUnknown(std::move(unknown))
{
}

CDataLocation CDataLocation::Resolve(const CInputs& inputs)
{
    // Saving writes a new file beside the list and renames it over the list, so the folder
    // itself must be writable: a writable list in a read-only folder could never be saved.
    // It is read instead, as a starting list.
    const QFileInfo programFolder(inputs.m_strProgramFolder);
    if (programFolder.isDir() && programFolder.isWritable()
        && !SameFolder(inputs.m_strProgramFolder, inputs.m_strInstallBinFolder))
        return CDataLocation(inputs.m_strProgramFolder);

    QStringList startingLists{ListIn(inputs.m_strProgramFolder)};
    for (const QString& folder : inputs.m_shareFolders)
        startingLists << ListIn(folder);
    // A relative folder is one in whatever folder the program is started from, where
    // another start would not find the list.
    if (!IsAbsolute(inputs.m_strUserFolder)) {
        std::string unknown = "the user's data folder is unknown";
        if (!inputs.m_strUserFolderUnknown.empty())
            unknown += ": " + inputs.m_strUserFolderUnknown;
        else if (!inputs.m_strUserFolder.isEmpty())
            unknown += ": " + Encoded(inputs.m_strUserFolder) + " is not an absolute path";
        return CDataLocation(QString(), std::move(startingLists), std::move(unknown));
    }
    return CDataLocation(inputs.m_strUserFolder, std::move(startingLists), std::string());
}

CDataLocation::CUserFolder CDataLocation::UserFolderOf(
    const QString& xdgDataHome, const QString& home, const QString& appFolder)
{
    if (IsAbsolute(xdgDataHome))
        return {QDir::cleanPath(xdgDataHome + QLatin1Char('/') + appFolder), {}};
    if (IsAbsolute(home))
        return {QDir::cleanPath(home + QStringLiteral("/.local/share/") + appFolder), {}};
    std::string unknown = home.isEmpty() ? std::string("HOME is not set")
                                         : "HOME (" + Encoded(home) + ") is not an absolute path";
    if (!xdgDataHome.isEmpty())
        unknown = "XDG_DATA_HOME (" + Encoded(xdgDataHome) + ") is not an absolute path, and "
            + unknown;
    return {QString(), std::move(unknown)};
}

std::string CDataLocation::SavePath() const
{
    return m_strFolder.isEmpty() ? std::string() : Encoded(ListIn(m_strFolder));
}

std::string CDataLocation::LoadPath() const
{
    const QString own = m_strFolder.isEmpty() ? QString() : ListIn(m_strFolder);
    if (!own.isEmpty() && QFileInfo::exists(own))
        return Encoded(own);
    for (const QString& list : m_startingLists) {
        if (QFileInfo::exists(list))
            return Encoded(list);
    }
    return Encoded(own);
}

bool CDataLocation::MakeFolder(std::string& reason) const
{
    if (m_strFolder.isEmpty()) {
        reason = m_strUnknown.empty() ? std::string("the data folder is unknown") : m_strUnknown;
        return false;
    }
    const std::string folder = Encoded(m_strFolder);
    const int made = MakePrivateFolder(folder);
    if (made == 0)
        return true;
    reason = "the folder " + folder + " could not be made: " + FileAccess::OsReason(made);
    return false;
}
