#include "app/FieldValidator.h"

#include <algorithm>

namespace {

bool IsDropped(QChar c)
{
    return c.unicode() < 0x20 && c != QLatin1Char('\t');
}

} // namespace

QValidator::State CFieldValidator::validate(QString& input, int& pos) const
{
    const auto first = std::find_if(input.begin(), input.end(), IsDropped);
    if (first == input.end())
        return Acceptable;
    QString kept;
    kept.reserve(input.size());
    int newPos = pos;
    for (int i = 0; i < input.size(); ++i) {
        if (!IsDropped(input[i]))
            kept += input[i];
        else if (i < pos)
            --newPos;
    }
    input = kept;
    pos = newPos;
    return Acceptable;
}
