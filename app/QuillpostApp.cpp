#include "app/QuillpostApp.h"

#include "app/QuillpostDlg.h"

#include <QCoreApplication>

CQuillpostApp::CQuillpostApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Quillpost"));
}

void CQuillpostApp::PrepareProcess() { }

int CQuillpostApp::InitInstance()
{
    CQuillpostDlg dlg(QCoreApplication::applicationDirPath());
    dlg.exec();
    return 0;
}
