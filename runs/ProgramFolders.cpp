#include "runs/ProgramFolders.h"

#include "core/history/PostHistory.h"
#include "core/system/StateFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace ProgramFolders {

QString ApplicationName()
{
    return QStringLiteral("Quillpost");
}

QString ProgramFolder()
{
    const QString own = QCoreApplication::applicationDirPath();
    const auto hasProgram
        = [](const QString& folder) { return QFileInfo(folder + "/quillpost").isExecutable(); };
    if (hasProgram(own))
        return own;
    const QString installed = QDir::cleanPath(QDir(own).filePath(QUILLPOST_BINDIR_FROM_LIBEXEC));
    return hasProgram(installed) ? installed : own;
}

CDataLocation DataLocation()
{
    CDataLocation::CInputs inputs;
    inputs.m_strProgramFolder = ProgramFolder();
    // As QStandardPaths's AppDataLocation names it for the window (the program sets no
    // organisation), but by the XDG rules, which it does not follow for a relative
    // XDG_DATA_HOME. Named here, not by the application object: the command line names
    // itself "quillpost" and must find the same list.
    const CDataLocation::CUserFolder user
        = CDataLocation::UserFolderOf(QFile::decodeName(qgetenv("XDG_DATA_HOME")),
            QFile::decodeName(qgetenv("HOME")), ApplicationName());
    inputs.m_strUserFolder = user.m_strPath;
    inputs.m_strUserFolderUnknown = user.m_strUnknown;
    // The share folder of the tree the program runs from, wherever that tree was installed,
    // then the one it was built for.
    inputs.m_shareFolders = {
        QDir::cleanPath(QDir(inputs.m_strProgramFolder).filePath(QUILLPOST_SHAREDIR_FROM_BINDIR)),
        QStringLiteral(QUILLPOST_INSTALL_SHAREDIR)};
    inputs.m_shareFolders.removeDuplicates();
    inputs.m_strInstallBinFolder = QStringLiteral(QUILLPOST_INSTALL_BINDIR);
    return CDataLocation::Resolve(inputs);
}

std::string HistoryFile(CText& unknown)
{
    // Named here, as the data folder is: the window and the command line share the file.
    const CStateFolder folder = StateFolderOf(qgetenv("XDG_STATE_HOME").toStdString(),
        qgetenv("HOME").toStdString(), ApplicationName().toStdString());
    if (folder.m_strPath.empty()) {
        unknown = folder.m_unknown;
        return std::string();
    }
    return CPostHistory::FileIn(folder.m_strPath);
}

} // namespace ProgramFolders
