#pragma once

#include <QDialog>

#include <memory>

class CTextLink;

namespace Ui {
class CAboutDlg;
}

// The About box: the icon, the version and the maker's two lines as links. Modal to the
// window that opens it; OK, Enter and Escape close it.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

private:
    std::unique_ptr<Ui::CAboutDlg> m_ui;
    CTextLink* m_siteLink = nullptr;
    CTextLink* m_copyrightLink = nullptr;
};
