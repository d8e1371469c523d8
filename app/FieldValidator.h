#pragma once

#include <QValidator>

// Keeps control characters other than tab out of an edit field, whichever way they come:
// typed, pasted, dropped or from an input method. A data file cannot hold them, so a value
// holding one would be saved with U+FFFD in its place. Any other text is taken as it is,
// however long.
class CFieldValidator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;

    State validate(QString& input, int& pos) const override;
};
