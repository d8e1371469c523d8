#pragma once

#include <QLabel>
#include <QString>

// A status line that assistive technology can follow: exposed as a status bar whose name is
// the status it shows, so each new text reaches a screen reader as the name change a label
// announces. While it shows nothing its name is emptyAccessibleName (set in the form), not
// nothing. It must keep an empty accessibleName: a label with a fixed accessible name
// announces no change of its text.
class CStatusLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QString emptyAccessibleName READ EmptyAccessibleName WRITE SetEmptyAccessibleName)

public:
    explicit CStatusLabel(QWidget* parent = nullptr);

    const QString& EmptyAccessibleName() const { return m_strEmptyName; }
    void SetEmptyAccessibleName(const QString& name);

private:
    QString m_strEmptyName;
};
