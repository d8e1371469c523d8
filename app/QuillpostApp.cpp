#include "app/QuillpostApp.h"

#include "app/QuillpostDlg.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QStandardPaths>

CQuillpostApp::CQuillpostApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Quillpost"));
    // Lets the desktop match the window with the program's menu entry and icon.
    setDesktopFileName(QStringLiteral(QUILLPOST_APP_ID));
}

void CQuillpostApp::PrepareProcess()
{
    // The browser window's engine shares GL contexts; this must precede the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

int CQuillpostApp::InitInstance()
{
    // The window runs as long as it is open, like a modal dialog, but is shown as a window
    // of its own rather than an application-modal transient.
    CQuillpostDlg dlg(DataLocation());
    QEventLoop loop;
    QObject::connect(&dlg, &QDialog::finished, &loop, &QEventLoop::quit);
    dlg.show();
    loop.exec();
    return 0;
}

CDataLocation CQuillpostApp::DataLocation()
{
    CDataLocation::Inputs inputs;
    inputs.programFolder = QCoreApplication::applicationDirPath();
    inputs.userFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // The share folder of the tree the program runs from, wherever that tree was installed,
    // then the one it was built for.
    inputs.shareFolders
        = {QDir::cleanPath(QDir(inputs.programFolder).filePath(QUILLPOST_SHAREDIR_FROM_BINDIR)),
            QStringLiteral(QUILLPOST_INSTALL_SHAREDIR)};
    inputs.shareFolders.removeDuplicates();
    inputs.installBinFolder = QStringLiteral(QUILLPOST_INSTALL_BINDIR);
    return CDataLocation::Resolve(inputs);
}
