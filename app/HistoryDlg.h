#pragma once

#include "app/BackgroundJob.h"
#include "app/HistoryModel.h"
#include "core/history/PostHistory.h"

#include <QDialog>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class CColumnFit;
class CSubmitHost;

namespace Ui {
class CHistoryDlg;
}

// Run > History...: the post log of the history file in the user's state folder, newest
// first, with a filter and the details of the post selected under it, the addresses it carried
// among them; or, for a page's address typed in, every time the page went out or was left out,
// and "Never sent" for none. Export..., which writes the posts listed to a CSV file as the
// command line writes the log; and Forget this target, which clears the record of what was
// sent for the target the main window had selected, so that its next run is a first run again.
//
// A window of its own beside the main window. The log, a page's times and a post's addresses
// are read, and the record cleared, off the window's thread; the window answers meanwhile.
class CHistoryDlg : public QDialog
{
    Q_OBJECT

public:
    // target: the target selected in the main window, whose entries come first and which
    // Forget clears; none when no row is selected.
    explicit CHistoryDlg(
        std::optional<CPostHistory::CTarget> target = std::nullopt, QWidget* parent = nullptr);
    ~CHistoryDlg() override;

    // A target of the list as the record and the post log know it.
    static CPostHistory::CTarget TargetOf(const CSubmitHost& host);

private:
    void OnLoaded(CHistoryModel::CLoaded& loaded);
    void OnFilterChanged(const QString& text);
    void OnPageChanged(const QString& text);
    // Reads the times of the page asked for last; a read still under way is stopped first.
    void ReadPage();
    void OnPageLoaded(CHistoryModel::CLoaded& loaded, unsigned asked);
    // Reads the addresses of the post selected last, as ReadPage reads a page.
    void ReadCarried();
    void OnSelectionChanged();
    void OnRunOnly(bool only, std::int64_t run);
    void OnExport();
    void OnForget();
    void ShowStatus();

    std::unique_ptr<Ui::CHistoryDlg> m_ui;
    const std::optional<CPostHistory::CTarget> m_target;
    std::string m_strFile;
    CHistoryModel m_model;
    // The view's; fits the columns once the entries are in.
    CColumnFit* m_columns = nullptr;
    // What the list shows, or why it shows nothing; and what Forget came to.
    QString m_strState;
    QString m_strForgotten;
    bool m_bHasRecord = false;
    // The page asked for, as NormalAddress writes it; empty for none, or a text it refuses.
    std::string m_strPage;
    // Counts the pages asked for, so that a read for one asked before is told apart.
    unsigned m_pageAsked = 0;
    // What the list shows of the page asked for, or why it shows nothing.
    QString m_strPageState;
    // The log's number of the post selected, whose addresses the details show; 0 for none.
    std::int64_t m_carried = 0;
    // The log read and the record cleared; a page's times; a post's addresses.
    CBackgroundJob m_job;
    CBackgroundJob m_pageJob;
    CBackgroundJob m_carriedJob;
};
