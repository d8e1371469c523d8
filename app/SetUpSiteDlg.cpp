#include "app/SetUpSiteDlg.h"

#include "core/net/Address.h"
#include "core/target/SubmitHost.h"
#include "runs/IndexNowKey.h"
#include "runs/ResultText.h"

#include "ui_SetUpSiteDlg.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <utility>

namespace {

enum Column
{
    TargetColumn,
    KindColumn,
    ChangesColumn,
};

QString KindText(const CSiteTarget& made)
{
    QString kind;
    switch (made.m_kind) {
    case CSiteTarget::Kind::IndexNow:
        kind = CSetUpSiteDlg::tr("IndexNow");
        break;
    case CSiteTarget::Kind::WebSub:
        //: A target that tells a WebSub hub of a feed's changes
        kind = CSetUpSiteDlg::tr("WebSub hub");
        break;
    case CSiteTarget::Kind::Ping:
        //: A target that pings a blog ping service by XML-RPC
        kind = CSetUpSiteDlg::tr("Ping (XML-RPC)");
        break;
    }
    if (made.m_bInList)
        //: Said of a target found for the site that the list holds already
        kind += CSetUpSiteDlg::tr(" · in the list");
    else if (made.m_bOtherSite)
        //: Said of a target found for a feed the site names on another host
        kind += CSetUpSiteDlg::tr(" · another site's feed");
    return kind;
}

} // namespace

CSetUpSiteDlg::CSetUpSiteDlg(
    CDiscoverySettings settings, ListTargets list, AddTargets add, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::CSetUpSiteDlg>())
    , m_settings(std::move(settings))
    , m_list(std::move(list))
    , m_add(std::move(add))
{
    m_ui->setupUi(this);
    m_ui->indexNowEdit->setText(QString::fromLatin1(CSiteTargets::IndexNowEndpoint));
    m_ui->foundList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(m_ui->findButton, &QPushButton::clicked, this, &CSetUpSiteDlg::OnFind);
    connect(m_ui->indexNowEdit, &QLineEdit::textEdited, this, &CSetUpSiteDlg::OnEndpointEdited);
    connect(m_ui->foundList, &QTreeWidget::itemChanged, this, [this] {
        bool any = false;
        for (int row = 0; row < m_ui->foundList->topLevelItemCount(); ++row)
            any = any
                || m_ui->foundList->topLevelItem(row)->checkState(TargetColumn) == Qt::Checked;
        m_ui->addButton->setEnabled(any && !m_job.IsBusy());
    });
    connect(m_ui->addButton, &QPushButton::clicked, this, &CSetUpSiteDlg::OnAdd);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QDialog::close);
}

CSetUpSiteDlg::~CSetUpSiteDlg() = default;

void CSetUpSiteDlg::OnFind()
{
    if (m_job.IsBusy()) {
        m_job.Stop();
        return;
    }
    const std::string site = m_ui->siteEdit->text().trimmed().toStdString();
    if (site.empty())
        return;
    m_made.clear();
    ShowTargets();
    m_ui->notesLabel->setText(tr("Reading %1…").arg(QString::fromStdString(site)));
    m_job.Start(
        [settings = m_settings, site](const std::atomic<bool>& stop) {
            return CSiteDiscovery(settings, &stop).Discover(site);
        },
        [this](CDiscovery& found) { OnFound(found); });
    ShowBusy(true);
}

void CSetUpSiteDlg::OnFound(const CDiscovery& found)
{
    ShowBusy(false);
    QStringList said;
    if (found.m_bStopped)
        said << tr("Stopped.");
    for (const CText& note : found.m_notes)
        said << CResultText::Translated(note);
    for (const CText& unread : found.m_unread)
        said << CResultText::Translated(unread);
    if (!found.m_bStopped)
        m_made = CSiteTargets::Of(found, NewIndexNowKey(), m_list());
    // The endpoint typed before Find counts as well.
    for (CSiteTarget& made : m_made) {
        if (made.m_kind != CSiteTarget::Kind::IndexNow)
            continue;
        made.m_target->m_strUrl = m_ui->indexNowEdit->text().trimmed().toStdString();
        CSiteTargets::MarkInList(made, m_list());
    }
    if (!m_made.empty())
        //: %1 is the site's address, where its home page ended
        said.prepend(tr("Found for %1:").arg(QString::fromStdString(found.m_strSite)));
    m_ui->notesLabel->setText(said.join(QLatin1Char('\n')));
    ShowTargets();
}

void CSetUpSiteDlg::ShowBusy(bool busy)
{
    //: Stops reading the site
    m_ui->findButton->setText(busy ? tr("&Stop") : tr("&Find"));
    m_ui->siteEdit->setEnabled(!busy);
    if (busy)
        m_ui->addButton->setEnabled(false);
}

void CSetUpSiteDlg::ShowTargets()
{
    const QSignalBlocker quiet(m_ui->foundList);
    m_ui->foundList->clear();
    for (const CSiteTarget& made : m_made) {
        auto* item = new QTreeWidgetItem(m_ui->foundList);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(TargetColumn, made.ChosenByDefault() ? Qt::Checked : Qt::Unchecked);
        ShowRow(item, made);
    }
    Q_EMIT m_ui->foundList->itemChanged(nullptr, TargetColumn);
}

void CSetUpSiteDlg::ShowRow(QTreeWidgetItem* item, const CSiteTarget& made)
{
    item->setText(TargetColumn, QString::fromStdString(ShownAddress(made.m_target->m_strUrl)));
    item->setText(KindColumn, KindText(made));
    item->setText(ChangesColumn,
        QString::fromStdString(ShownAddress(made.m_target->m_strChanges.value_or(std::string()))));
    // A target the list holds is not added twice.
    if (made.m_bInList) {
        item->setCheckState(TargetColumn, Qt::Unchecked);
        item->setFlags(item->flags() & ~Qt::ItemIsUserCheckable);
    } else {
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    }
}

// Any other IndexNow service takes the same body; whether the list holds it is judged anew.
void CSetUpSiteDlg::OnEndpointEdited(const QString& text)
{
    for (std::size_t row = 0; row < m_made.size(); ++row) {
        CSiteTarget& made = m_made[row];
        if (made.m_kind != CSiteTarget::Kind::IndexNow)
            continue;
        const bool wasInList = made.m_bInList;
        made.m_target->m_strUrl = text.trimmed().toStdString();
        CSiteTargets::MarkInList(made, m_list());
        QTreeWidgetItem* item = m_ui->foundList->topLevelItem(static_cast<int>(row));
        ShowRow(item, made);
        if (wasInList && !made.m_bInList)
            item->setCheckState(TargetColumn, Qt::Checked);
    }
}

void CSetUpSiteDlg::OnAdd()
{
    std::vector<CSiteTarget> chosen;
    for (std::size_t row = 0; row < m_made.size(); ++row) {
        const QTreeWidgetItem* item = m_ui->foundList->topLevelItem(static_cast<int>(row));
        if (item->checkState(TargetColumn) == Qt::Checked && !m_made[row].m_bInList)
            chosen.push_back(m_made[row]);
    }
    if (chosen.empty())
        return;
    // The window may open a dialog of its own on what was added: this one is gone by then.
    const AddTargets add = m_add;
    accept();
    add(chosen);
}
