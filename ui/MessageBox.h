#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// The program's message boxes: the standard box with one OK button, the given icon and the
// program's name as caption, modal to its parent.
//
// Tests set a hook that takes each message instead of showing it, so that nothing waits
// for a click and the message can be checked.
class CMessageBox
{
public:
    struct CMessage
    {
        QMessageBox::Icon m_icon;
        QString m_strCaption;
        QString m_strText;
    };
    using Hook = std::function<void(const CMessage&)>;

    static void Warning(QWidget* parent, const QString& text);

    // An empty hook shows the messages again.
    static void SetTestHook(Hook hook);

private:
    static void Show(QWidget* parent, QMessageBox::Icon icon, const QString& text);
};
