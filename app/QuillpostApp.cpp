#include "app/QuillpostApp.h"

#include "app/QuillpostDlg.h"

CQuillpostApp::CQuillpostApp(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Quillpost"));
}

void CQuillpostApp::PrepareProcess()
{
}

int CQuillpostApp::InitInstance()
{
    CQuillpostDlg dlg;
    dlg.exec();
    return 0;
}
