#include "app/QuillpostApp.h"

#include "app/QuillpostDlg.h"
#include "runs/ProgramFolders.h"
#include "runs/Translations.h"

#include <QEventLoop>

#ifdef __GLIBC__
#include <malloc.h>
#endif

CQuillpostApp::CQuillpostApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(ProgramFolders::ApplicationName());
    // Lets the desktop match the window with the program's menu entry and icon.
    setDesktopFileName(QStringLiteral(QUILLPOST_APP_ID));
    InstallTranslations(QLocale::system());
}

int CQuillpostApp::InitInstance()
{
    // The window runs as long as it is open, like a modal dialog, but is shown as a window
    // of its own rather than an application-modal transient.
    CQuillpostDlg dlg(ProgramFolders::DataLocation());
#ifdef __GLIBC__
    // The data file's document is gone once the list is built, but the allocator keeps
    // its pages; most of a session is idle, so give them back then.
    QObject::connect(&dlg, &CQuillpostDlg::LoadFinished, &dlg, [] { malloc_trim(0); });
#endif
    QEventLoop loop;
    QObject::connect(&dlg, &QDialog::finished, &loop, &QEventLoop::quit);
    dlg.show();
    loop.exec();
    return 0;
}
