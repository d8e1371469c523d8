#pragma once

#include <QString>

#include <functional>

class QWidget;

// The program's file dialogs. Tests set a hook that answers in the dialog's place, so that
// nothing waits for the user and the question can be checked.
class CFileDialog
{
public:
    // Takes the suggested path and gives the chosen one, empty for none.
    using Hook = std::function<QString(const QString& suggested)>;

    // The path to save to, or empty when the user cancels.
    static QString SaveFileName(
        QWidget* parent, const QString& caption, const QString& suggested, const QString& filter);

    // An empty hook shows the dialogs again.
    static void SetTestHook(Hook hook);
};
