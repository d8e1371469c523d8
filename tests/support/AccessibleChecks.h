#pragma once

#include <QStringList>

class QWidget;

// What a screen reader and a keyboard user meet in a window, checked over all its widgets.
// Each check returns the faults it found, one line each; none means the window passes.

// Controls (buttons, edit fields, lists, combo boxes, labels, progress bars) that have no
// accessible name, and buttons that share one. The parts of a list are the list's.
QStringList NamingFaults(const QWidget* window);

// Mnemonics used twice within one reach: Alt+letter in the window (menu bar titles, buttons,
// labels that have a buddy) and a letter within each menu; and any of these that has none,
// unless its objectName is in `exempt`.
QStringList MnemonicFaults(const QWidget* window, const QStringList& exempt = {});
