#pragma once

class QLineEdit;
class QString;

// Qt's button that empties a text field, named for screen readers and given a tooltip: Qt's
// own has neither, and would be read out as an unnamed button. The name says which field it
// empties, as a window may have two.
class CClearButton
{
public:
    static void AddTo(QLineEdit* field, const QString& name);
};
