#include "runs/IndexNowKey.h"

#include <QByteArray>
#include <QRandomGenerator>

std::string NewIndexNowKey()
{
    // 128 bits: far beyond guessing, as IndexNow's key is all that proves the site is the
    // submitter's.
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words).toHex().toStdString();
}
