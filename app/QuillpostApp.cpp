#include "app/QuillpostApp.h"

#include "app/QuillpostDlg.h"

#include <QCoreApplication>
#include <QEventLoop>

CQuillpostApp::CQuillpostApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Quillpost"));
}

int CQuillpostApp::InitInstance()
{
    // The window runs as long as it is open, like a modal dialog, but is shown as a window
    // of its own rather than an application-modal transient.
    CQuillpostDlg dlg(QCoreApplication::applicationDirPath());
    QEventLoop loop;
    QObject::connect(&dlg, &QDialog::finished, &loop, &QEventLoop::quit);
    dlg.show();
    loop.exec();
    return 0;
}
