#include "app/StarterServices.h"

#include "data/XmlDocument.h"
#include "ui/Resources.h"

#include <QFile>

TargetRecords StarterServices()
{
    InitQuillpostResources();
    QFile list(QStringLiteral(":/starter-services.xml"));
    TargetRecords records;
    CXmlDocument doc;
    if (list.open(QIODevice::ReadOnly) && doc.StartFromText(list.readAll().toStdString()))
        ReadTargets(doc, records);
    return records;
}
