#pragma once

#include "app/BackgroundJob.h"
#include "core/site/SiteDiscovery.h"
#include "data/DataFile.h"
#include "runs/SiteTargets.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <vector>

class QTreeWidgetItem;

namespace Ui {
class CSetUpSiteDlg;
}

// Run > Set Up Site...: the site's address, Find, and the targets made of what the site offers
// (CSiteTargets), each with a checkbox; Add hands the checked ones to the window.
//
// Find reads the site off the window's thread and can be stopped; closing the dialog stops it.
// Whether a target is in the list already is judged against the list as it is when found.
class CSetUpSiteDlg : public QDialog
{
    Q_OBJECT

public:
    // The list's targets as they are now.
    using ListTargets = std::function<TargetRecords()>;
    // Puts the chosen targets into the list.
    using AddTargets = std::function<void(const std::vector<CSiteTarget>& chosen)>;

    CSetUpSiteDlg(
        CDiscoverySettings settings, ListTargets list, AddTargets add, QWidget* parent = nullptr);
    ~CSetUpSiteDlg() override;

private:
    void OnFind();
    void OnFound(const CDiscovery& found);
    void OnEndpointEdited(const QString& text);
    void OnAdd();
    // One row a target, in m_made's order.
    void ShowTargets();
    void ShowRow(QTreeWidgetItem* item, const CSiteTarget& made);
    void ShowBusy(bool busy);

    std::unique_ptr<Ui::CSetUpSiteDlg> m_ui;
    const CDiscoverySettings m_settings;
    const ListTargets m_list;
    const AddTargets m_add;
    std::vector<CSiteTarget> m_made;
    CBackgroundJob m_job;
};
