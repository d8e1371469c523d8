#include "tests/support/AccessibleChecks.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QComboBox>
#include <QHash>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QWidget>

namespace {

bool IsControl(const QWidget* widget)
{
    if (widget->objectName().startsWith(QLatin1String("qt_")))
        return false;
    return qobject_cast<const QAbstractButton*>(widget) || qobject_cast<const QLineEdit*>(widget)
        || qobject_cast<const QAbstractScrollArea*>(widget)
        || qobject_cast<const QComboBox*>(widget) || qobject_cast<const QLabel*>(widget)
        || qobject_cast<const QProgressBar*>(widget);
}

bool InsideScrollArea(const QWidget* widget, const QWidget* window)
{
    for (const QWidget* up = widget->parentWidget(); up && up != window; up = up->parentWidget()) {
        if (qobject_cast<const QAbstractScrollArea*>(up))
            return true;
    }
    return false;
}

QString Id(const QObject* object)
{
    return object->objectName().isEmpty() ? QLatin1String(object->metaObject()->className())
                                          : object->objectName();
}

// The mnemonics of one reach, each with what uses it first.
class CMnemonicScope
{
public:
    CMnemonicScope(QStringList& faults, const QStringList& exempt)
        : m_faults(faults)
        , m_exempt(exempt)
    {
    }

    void Take(const QString& text, const QString& id)
    {
        const QString key = QKeySequence::mnemonic(text).toString();
        if (key.isEmpty()) {
            if (!m_exempt.contains(id))
                m_faults << id + QStringLiteral(" has no mnemonic");
        } else if (m_users.contains(key)) {
            m_faults << QStringLiteral("%1 and %2 both use %3").arg(m_users[key], id, key);
        } else {
            m_users.insert(key, id);
        }
    }

private:
    QStringList& m_faults;
    const QStringList& m_exempt;
    QHash<QString, QString> m_users;
};

} // namespace

QStringList NamingFaults(const QWidget* window)
{
    QStringList faults;
    QHash<QString, QString> buttons; // accessible name: the first button that has it
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!IsControl(widget) || InsideScrollArea(widget, window))
            continue;
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        const QString name = accessible ? accessible->text(QAccessible::Name).trimmed() : QString();
        if (name.isEmpty()) {
            faults << Id(widget) + QStringLiteral(" has no name");
            continue;
        }
        if (!qobject_cast<QAbstractButton*>(widget))
            continue;
        if (buttons.contains(name))
            faults
                << QStringLiteral("%1 and %2 are both \"%3\"").arg(buttons[name], Id(widget), name);
        else
            buttons.insert(name, Id(widget));
    }
    return faults;
}

QStringList MnemonicFaults(const QWidget* window, const QStringList& exempt)
{
    QStringList faults;
    CMnemonicScope inWindow(faults, exempt);
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (widget->objectName().startsWith(QLatin1String("qt_"))
            || InsideScrollArea(widget, window))
            continue;
        if (const auto* button = qobject_cast<QAbstractButton*>(widget)) {
            // An icon the keyboard never reaches, as a field's clear button: its field is.
            if (!button->text().isEmpty() || button->focusPolicy() != Qt::NoFocus)
                inWindow.Take(button->text(), Id(button));
        } else if (const auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->buddy())
                inWindow.Take(label->text(), Id(label));
        } else if (const auto* menuBar = qobject_cast<QMenuBar*>(widget)) {
            for (const QAction* title : menuBar->actions()) {
                inWindow.Take(title->text(), Id(title->menu()));
                CMnemonicScope inMenu(faults, exempt);
                for (const QAction* item : title->menu()->actions()) {
                    if (!item->isSeparator())
                        inMenu.Take(item->text(), Id(item));
                }
            }
        }
    }
    return faults;
}
