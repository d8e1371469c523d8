#include "ui/AboutDlg.h"

#include "ui/Resources.h"
#include "ui/TextLink.h"
#include "ui_AboutDlg.h"

#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::CAboutDlg>())
{
    InitQuillpostResources();
    m_ui->setupUi(this);
    m_siteLink = m_ui->siteLinkLabel;
    m_copyrightLink = m_ui->copyrightLinkLabel;

    m_ui->iconLabel->setPixmap(ProgramIcon().pixmap(m_ui->iconLabel->size()));
    m_ui->versionLabel->setText(tr("Quillpost Version %1").arg(QStringLiteral(QUILLPOST_VERSION)));
    connect(m_ui->okButton, &QPushButton::clicked, this, &QDialog::accept);

    // The form keeps the box's proportions at the main window's scale for the desktop font,
    // 1.875 px per horizontal and 1.75 px per vertical dialog unit. It is not resizable.
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(size());
}

CAboutDlg::~CAboutDlg() = default;
