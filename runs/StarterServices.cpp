#include "runs/StarterServices.h"

#include "data/XmlDocument.h"

#include <QFile>

TargetRecords StarterServices()
{
    // Compiled into this library (runs/CMakeLists.txt), so the command line has it too.
    QFile list(QStringLiteral(":/starter-services.xml"));
    TargetRecords records;
    CXmlDocument doc;
    if (list.open(QIODevice::ReadOnly) && doc.StartFromText(list.readAll().toStdString()))
        ReadTargets(doc, records);
    return records;
}
