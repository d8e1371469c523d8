#pragma once

#include "data/DataFile.h"

#include <QCoreApplication>
#include <QString>

#include <string>

// What the program tells the user about a load or a save of the data file, in one place, so
// that the window and the command line word a refused file alike.
class CDataFileMessages
{
    Q_DECLARE_TR_FUNCTIONS(CDataFileMessages)

public:
    // After loading path; empty when it was loaded. A missing file is the normal first start
    // and goes unsaid unless sayMissing. A refused file is kept aside by the next save to the
    // same path: savePath is where that save writes (empty when nothing will be saved).
    static QString Load(const CDataFileOutcome& outcome, const std::string& path,
        const std::string& savePath, bool sayMissing = false);
    // After saving to path (empty when no folder was known); empty when there is nothing to
    // add to a plain success.
    static QString Save(const CDataFileOutcome& outcome, const std::string& path);
};
