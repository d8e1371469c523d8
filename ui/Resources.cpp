#include "ui/Resources.h"

#include <QtGlobal>

static void initResources()
{
    Q_INIT_RESOURCE(quillpost);
}

void InitQuillpostResources()
{
    static const bool done = (initResources(), true);
    Q_UNUSED(done);
}

QIcon ProgramIcon()
{
    InitQuillpostResources();
    QIcon icon;
    for (const int size : {16, 32, 48, 256})
        icon.addFile(QStringLiteral(":/images/icon-%1.png").arg(size), QSize(size, size));
    return icon;
}
