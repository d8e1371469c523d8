#include "ui/ClearButton.h"

#include <QLineEdit>
#include <QString>
#include <QToolButton>

void CClearButton::AddTo(QLineEdit* field, const QString& name)
{
    field->setClearButtonEnabled(true);
    // The field's only tool button is the one Qt has just made.
    for (QToolButton* button : field->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly)) {
        button->setAccessibleName(name);
        button->setToolTip(name);
    }
}
