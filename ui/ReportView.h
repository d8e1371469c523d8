#pragma once

#include <QList>
#include <QTableView>

// The report view both lists of the main window use: rows of fixed height with the status
// images, columns the user may reorder with the last one filling the width, and a selection
// that stays visible when the list loses the focus.
//
// Only a left click selects a row with the mouse, the way the window expects: a row is
// shown when it is clicked, so a drag across rows, a release over another row or a middle
// click must not move the selection without a click.
//
// The keyboard reaches the same: Space selects the current row and sends clicked for it,
// while the arrow keys only move the selection. The Menu key and Shift+F10 ask for the
// list's context menu through ContextMenuKeyPressed.
class CReportView : public QTableView
{
    Q_OBJECT

public:
    explicit CReportView(QWidget* parent = nullptr);

    // Once the model is set: the widths of its first columns, in pixels.
    void SetColumnWidths(const QList<int>& widths);
    // The first row from the top that is selected, or -1.
    int FirstSelectedRow() const;
    // Selects row alone without moving the current row: arrow keys go on from where the user
    // left them.
    void SelectRow(int row);

Q_SIGNALS:
    // globalPos: below the current row's cell, or the list's top left when there is none.
    void ContextMenuKeyPressed(const QPoint& globalPos);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex& index, const QEvent* event = nullptr) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPersistentModelIndex m_pressed;
};
