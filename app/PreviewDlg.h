#pragma once

#include "app/TargetListModel.h"
#include "core/net/PostLimits.h"
#include "runs/DryRun.h"

#include <QDialog>

#include <QStringList>

#include <map>
#include <memory>
#include <vector>

class CReportView;
class CSubmitHost;
class QLabel;
class QPlainTextEdit;

// Run > Preview...: what Submit All would post now, worked out as a dry run does (sources read,
// key files checked) over a copy of the list, with the exact body of the selected row and what
// becomes of each address it would announce or leave out. Nothing is posted or recorded.
class CPreviewDlg : public QDialog
{
    Q_OBJECT

public:
    CPreviewDlg(const std::vector<std::shared_ptr<CSubmitHost>>& targets,
        const CPostSettings& settings, QWidget* parent = nullptr);
    ~CPreviewDlg() override;

    // Opens a preview that deletes itself when closed.
    static void Open(const std::vector<std::shared_ptr<CSubmitHost>>& targets,
        const CPostSettings& settings, QWidget* parent);

private:
    void ShowBody();
    // A target of many posts is decided post by post: its addresses are gathered.
    void OnRowDecided(int row);

    CTargetListModel m_targets;
    CDryRun m_dryRun;
    QLabel* m_status;
    CReportView* m_view;
    QPlainTextEdit* m_body;
    QPlainTextEdit* m_addresses;
    std::map<int, QStringList> m_listings;
};
