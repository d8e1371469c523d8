#pragma once

#include <QDialog>

// The main window. For now an empty placeholder that opens and closes.
class CQuillpostDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CQuillpostDlg(QWidget* parent = nullptr);
    ~CQuillpostDlg() override;
};
