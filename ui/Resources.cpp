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
