#pragma once

#include "core/post/PostResult.h"
#include "core/target/SubmitHost.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The rows of the target list, as the runs and the command line need them: no window, so no
// images (the window's CTargetListModel adds those). Each row owns its target record; a
// record lives as long as its row does, or longer while someone else still holds a reference.
//
// Every row also gets an id when it is added. Ids are never reused while the model lives,
// so work that finishes later (a background post) can find its row again with RowOfId
// even after rows above it were removed, and learns when its row is gone. Rows are only
// ever appended, so the ids stand in row order.
// The model lives on the window's thread; other threads report to it by queued signals.
class CTargetList : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        UrlColumn = 0,
        ResultColumn = 1,
        KindColumn = 2,
        // The record's sitemap or feed, as written.
        ChangesColumn = 3,
        ColumnCount = 4
    };

    explicit CTargetList(QObject* parent = nullptr);
    ~CTargetList() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Appends a row showing the record's URL and image 0; returns its id. A row is added
    // together with its record, so whoever watches rows being inserted finds it complete.
    quint64 AppendRow(std::shared_ptr<CSubmitHost> record);
    void AppendRows(std::vector<std::shared_ptr<CSubmitHost>> records);
    // Room for rows in all: a long list appended in parts then moves no row already in.
    void ReserveRows(std::size_t rows);
    void RemoveRow(int row);
    // Removes every row; records no one else holds are freed.
    void Clear();
    int RowCount() const { return static_cast<int>(m_rows.size()); }

    // Accessors of one row. Out-of-range rows are ignored by the setters and read as
    // empty (no record, no result, image -1, empty text, id 0).
    std::shared_ptr<CSubmitHost> Record(int row) const;
    // Every row's record, in row order.
    std::vector<std::shared_ptr<CSubmitHost>> Records() const;
    // What the row's last post came to; the row's image, its Result column and that column's
    // tooltip show it.
    void SetResult(int row, CPostResult result);
    const CPostResult* Result(int row) const;
    // The row back to "not posted", without a result; with no row given, every row.
    void ClearResult(int row);
    void ClearResults();
    // Some row shows what its last post came to.
    bool HasResults() const;
    // ImageNotPosted (also while its post waits to be tried again), ImageFailed or
    // ImageSucceeded (runs/StatusImage.h).
    int Image(int row) const;
    // The row's text is its record's URL: setting one sets the other.
    void SetText(int row, std::string text);
    void SetBodyKind(int row, std::optional<std::string> kind);
    void SetChanges(int row, std::optional<std::string> changes);
    // Turning the checks on or off drops a "check" value the list kept unread.
    void SetCheckPages(int row, bool check);
    std::string Text(int row) const;
    quint64 Id(int row) const;
    // The row that has id now, or -1 when that row was removed.
    int RowOfId(quint64 id) const;

    // What the record of posts says of the row's last success (none: never); its address's
    // tooltip says so.
    void SetLastSuccess(
        quint64 id, std::optional<std::chrono::system_clock::time_point> lastSuccess);

private:
    struct CRow
    {
        std::shared_ptr<CSubmitHost> m_record;
        // Made when the row has one: a long list that has not been posted takes no room for
        // them.
        std::unique_ptr<CPostResult> m_result;
        quint64 m_id = 0;
        // When the target last succeeded, as the record of posts says, once it is known:
        // empty for never.
        std::optional<std::optional<std::chrono::system_clock::time_point>> m_lastSuccess;
    };

    bool IsRow(int row) const { return row >= 0 && row < RowCount(); }
    void EmitRowChanged(int row, const QList<int>& roles);

    std::vector<CRow> m_rows;
    quint64 m_lastId = 0;
};
