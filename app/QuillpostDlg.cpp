#include "app/QuillpostDlg.h"

CQuillpostDlg::CQuillpostDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Quillpost"));
}

CQuillpostDlg::~CQuillpostDlg() = default;
