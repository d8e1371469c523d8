#pragma once

#include <QCoreApplication>
#include <QString>

class CTargetList;

// Save Results' file: the final result of each row that has one, in the command line's CSV
// records, so a saved file reads like its output.
class CResultsFile
{
    Q_DECLARE_TR_FUNCTIONS(CResultsFile)

public:
    // Writes list's results to path, whole or not at all; empty when written, otherwise why
    // not, for the user.
    static QString Write(const CTargetList& list, const QString& path);
};
