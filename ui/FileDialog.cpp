#include "ui/FileDialog.h"

#include <QFileDialog>

#include <utility>

namespace {

CFileDialog::Hook& TestHook()
{
    static CFileDialog::Hook hook;
    return hook;
}

} // namespace

QString CFileDialog::SaveFileName(
    QWidget* parent, const QString& caption, const QString& suggested, const QString& filter)
{
    if (TestHook())
        return TestHook()(suggested);
    return QFileDialog::getSaveFileName(parent, caption, suggested, filter);
}

void CFileDialog::SetTestHook(Hook hook)
{
    TestHook() = std::move(hook);
}
