#include "app/QuillpostApp.h"

#include "app/QuillpostDlg.h"

#include <QCoreApplication>

CQuillpostApp::CQuillpostApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Quillpost"));
}

void CQuillpostApp::PrepareProcess()
{
    // The browser window's engine shares GL contexts; this must precede the application.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

int CQuillpostApp::InitInstance()
{
    CQuillpostDlg dlg(QCoreApplication::applicationDirPath());
    dlg.exec();
    return 0;
}
