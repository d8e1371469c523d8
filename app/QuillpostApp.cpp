#include "app/QuillpostApp.h"

#include "app/QuillpostDlg.h"
#include "ui/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>

#ifdef __GLIBC__
#include <malloc.h>
#endif

CQuillpostApp::CQuillpostApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(ApplicationName());
    // Lets the desktop match the window with the program's menu entry and icon.
    setDesktopFileName(QStringLiteral(QUILLPOST_APP_ID));
    InstallTranslations(QLocale::system());
}

int CQuillpostApp::InitInstance()
{
    // The window runs as long as it is open, like a modal dialog, but is shown as a window
    // of its own rather than an application-modal transient.
    CQuillpostDlg dlg(DataLocation());
#ifdef __GLIBC__
    // The data file's document is gone once the list is built, but the allocator keeps
    // its pages; most of a session is idle, so give them back now.
    malloc_trim(0);
#endif
    QEventLoop loop;
    QObject::connect(&dlg, &QDialog::finished, &loop, &QEventLoop::quit);
    dlg.show();
    loop.exec();
    return 0;
}

QString CQuillpostApp::ApplicationName()
{
    return QStringLiteral("Quillpost");
}

CDataLocation CQuillpostApp::DataLocation()
{
    CDataLocation::Inputs inputs;
    inputs.programFolder = QCoreApplication::applicationDirPath();
    // As QStandardPaths's AppDataLocation names it for the window (the program sets no
    // organisation), but by the XDG rules, which it does not follow for a relative
    // XDG_DATA_HOME. Named here, not by the application object: the command line names
    // itself "quillpost" and must find the same list.
    const CDataLocation::UserFolder user
        = CDataLocation::UserFolderOf(QFile::decodeName(qgetenv("XDG_DATA_HOME")),
            QFile::decodeName(qgetenv("HOME")), ApplicationName());
    inputs.userFolder = user.path;
    inputs.userFolderUnknown = user.unknown;
    // The share folder of the tree the program runs from, wherever that tree was installed,
    // then the one it was built for.
    inputs.shareFolders
        = {QDir::cleanPath(QDir(inputs.programFolder).filePath(QUILLPOST_SHAREDIR_FROM_BINDIR)),
            QStringLiteral(QUILLPOST_INSTALL_SHAREDIR)};
    inputs.shareFolders.removeDuplicates();
    inputs.installBinFolder = QStringLiteral(QUILLPOST_INSTALL_BINDIR);
    return CDataLocation::Resolve(inputs);
}
