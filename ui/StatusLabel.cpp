#include "ui/StatusLabel.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

class CStatusLabelAccessible : public QAccessibleWidget
{
public:
    explicit CStatusLabelAccessible(CStatusLabel* label)
        : QAccessibleWidget(label, QAccessible::StatusBar)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !widget()->accessibleName().isEmpty())
            return QAccessibleWidget::text(t);
        const auto* label = static_cast<const CStatusLabel*>(widget());
        return label->text().isEmpty() ? label->EmptyAccessibleName() : label->text();
    }
};

QAccessibleInterface* StatusLabelAccessible(const QString& className, QObject* object)
{
    auto* label = qobject_cast<CStatusLabel*>(object);
    if (!label || className != QLatin1String(CStatusLabel::staticMetaObject.className()))
        return nullptr;
    return new CStatusLabelAccessible(label);
}

} // namespace

CStatusLabel::CStatusLabel(QWidget* parent)
    : QLabel(parent)
{
    static const bool installed = (QAccessible::installFactory(&StatusLabelAccessible), true);
    Q_UNUSED(installed)
}

void CStatusLabel::SetEmptyAccessibleName(const QString& name)
{
    m_strEmptyName = name;
    if (text().isEmpty()) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}
