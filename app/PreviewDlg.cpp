#include "app/PreviewDlg.h"

#include "app/TargetColumnFit.h"
#include "core/post/PostResult.h"
#include "core/target/SubmitHost.h"
#include "runs/AddressListing.h"
#include "ui/ReportView.h"
#include "ui/Resources.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

CPreviewDlg::CPreviewDlg(const std::vector<std::shared_ptr<CSubmitHost>>& targets,
    const CPostSettings& settings, QWidget* parent)
    : QDialog(parent)
    , m_targets(StatusImages())
    , m_dryRun(m_targets, settings)
    , m_status(new QLabel(this))
    , m_view(new CReportView(this))
    , m_body(new QPlainTextEdit(this))
    , m_addresses(new QPlainTextEdit(this))
{
    setWindowTitle(tr("Preview"));
    resize(760, 480);
    auto* layout = new QVBoxLayout(this);
    //: Above the preview's list: a dry run of Submit All
    layout->addWidget(new QLabel(tr("What Submit All would post now. Nothing is sent."), this));
    m_view->setObjectName(QStringLiteral("previewList"));
    m_view->setModel(&m_targets);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::SingleSelection);
    m_view->setWordWrap(false);
    m_view->horizontalHeader()->setHighlightSections(false);
    m_view->verticalHeader()->hide();
    layout->addWidget(m_view, 2);
    m_body->setObjectName(QStringLiteral("previewBody"));
    m_body->setReadOnly(true);
    //: The preview's field that shows the exact body the selected post would send
    m_body->setAccessibleName(tr("Body"));
    layout->addWidget(m_body, 1);
    m_addresses->setObjectName(QStringLiteral("previewAddresses"));
    m_addresses->setReadOnly(true);
    m_addresses->setLineWrapMode(QPlainTextEdit::NoWrap);
    //: The preview's field that lists each address the selected target would announce or
    //: leave out, and why
    m_addresses->setAccessibleName(tr("Addresses"));
    layout->addWidget(m_addresses, 1);
    layout->addWidget(m_status);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        &CPreviewDlg::ShowBody);
    connect(&m_dryRun, &CDryRun::RowDecided, this, &CPreviewDlg::OnRowDecided);
    connect(&m_dryRun, &CDryRun::StatusChanged, this,
        [this] { m_status->setText(m_dryRun.StatusText()); });
    // Copies: the list may change while the preview is open.
    std::vector<std::shared_ptr<CSubmitHost>> copies;
    for (const auto& target : targets)
        copies.push_back(target->Copy());
    m_targets.AppendRows(std::move(copies));
    (new CTargetColumnFit(m_view))->Fit();
    // A request on sight: the first row's body shows as soon as it is worked out.
    m_view->setCurrentIndex(m_targets.index(0, 0));
    m_dryRun.SubmitAll();
}

CPreviewDlg::~CPreviewDlg()
{
    m_view->setModel(nullptr);
}

void CPreviewDlg::Open(const std::vector<std::shared_ptr<CSubmitHost>>& targets,
    const CPostSettings& settings, QWidget* parent)
{
    auto* dlg = new CPreviewDlg(targets, settings, parent);
    dlg->setAttribute(Qt::WA_DeleteOnClose);
    dlg->show();
}

void CPreviewDlg::OnRowDecided(int row)
{
    if (const CPostResult* result = m_targets.Result(row))
        m_listings[row] << CAddressListing::Lines(*result);
    ShowBody();
}

void CPreviewDlg::ShowBody()
{
    const int row = m_view->currentIndex().row();
    const CPostResult* result = m_targets.Result(row);
    m_body->setPlainText(result ? QString::fromStdString(result->m_strRequestBody) : QString());
    const auto listing = m_listings.find(row);
    m_addresses->setPlainText(
        listing == m_listings.end() ? QString() : listing->second.join(QLatin1Char('\n')));
}
