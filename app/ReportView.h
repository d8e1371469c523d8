#pragma once

#include <QTableView>

// The report view both lists use. Only a left click selects a row with the mouse, the way
// the window expects: a row is shown when it is clicked, so a drag across rows, a release
// over another row or a middle click must not move the selection without a click.
class CReportView : public QTableView
{
    Q_OBJECT

public:
    explicit CReportView(QWidget* parent = nullptr);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex& index, const QEvent* event = nullptr) const override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QPersistentModelIndex m_pressed;
};
