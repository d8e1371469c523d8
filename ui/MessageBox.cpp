#include "ui/MessageBox.h"

#include <utility>

namespace {

CMessageBox::Hook& TestHook()
{
    static CMessageBox::Hook hook;
    return hook;
}

} // namespace

void CMessageBox::Warning(QWidget* parent, const QString& text)
{
    Show(parent, QMessageBox::Warning, text);
}

void CMessageBox::SetTestHook(Hook hook)
{
    TestHook() = std::move(hook);
}

void CMessageBox::Show(QWidget* parent, QMessageBox::Icon icon, const QString& text)
{
    const CMessage message{icon, QStringLiteral("Quillpost"), text};
    if (TestHook()) {
        TestHook()(message);
        return;
    }
    QMessageBox box(
        message.m_icon, message.m_strCaption, message.m_strText, QMessageBox::Ok, parent);
    box.exec();
}
