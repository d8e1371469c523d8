#include "runs/ResultsFile.h"

#include "core/text/ResultRecord.h"
#include "data/FileAccess.h"
#include "runs/TargetList.h"

#include <QDir>
#include <QFile>

#include <string>

QString CResultsFile::Write(const CTargetList& list, const QString& path)
{
    std::string bytes = FieldsOf(CResultRecord()).CsvHeader();
    for (int row = 0; row < list.RowCount(); ++row) {
        const CPostResult* result = list.Result(row);
        if (result && result->IsFinal())
            bytes += FieldsOf(RecordOf(*result)).CsvLine();
    }
    // As the data file is saved: whole or not at all, and never into a FIFO or a device.
    std::string reason;
    if (FileAccess::WriteFileSafely(QFile::encodeName(path).toStdString(), bytes, reason))
        return QString();
    return tr("The results were not saved to %1: %2.")
        .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(reason.c_str()));
}
