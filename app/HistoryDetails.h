#pragma once

#include "app/HistoryModel.h"

#include <QList>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <memory>

namespace Ui {
class CHistoryDetails;
}

// The History window's pane under its list: everything the log keeps of the post selected,
// its service message whole, the run it belongs to with a way to list that run alone, and the
// addresses it carried.
class CHistoryDetails : public QWidget
{
    Q_OBJECT

public:
    // An address a post carried and what became of it: sent, announced as removed, or left
    // out and why, in the user's language.
    struct CCarried
    {
        QString m_strAddress;
        QString m_strFate;
    };

    explicit CHistoryDetails(QWidget* parent = nullptr);
    ~CHistoryDetails() override;

    // entry: the post selected of model's, or none.
    void ShowEntry(const CHistoryModel& model, const CHistoryModel::CEntry* entry);
    // The addresses a post carried as the list shows them, one a line. Safe on any thread:
    // ten thousand lines are made off the window's.
    static QString CarriedText(const QList<CCarried>& carried);
    // The addresses the post shown carried (CarriedText); until they are given, their count
    // alone shows. Empty hides the list.
    void ShowCarried(const QString& text);
    // Whether the list shows the run alone, as the window has it.
    void SetRunOnly(bool only);

Q_SIGNALS:
    // The user asked to list only the posts of run (only), or every run's again.
    void RunOnlyToggled(bool only, std::int64_t run);

private:
    std::unique_ptr<Ui::CHistoryDetails> m_ui;
    std::int64_t m_run = 0;
};
