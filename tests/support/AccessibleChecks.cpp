#include "tests/support/AccessibleChecks.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
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

QString Id(const QWidget* widget)
{
    return widget->objectName().isEmpty() ? QLatin1String(widget->metaObject()->className())
                                          : widget->objectName();
}

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
