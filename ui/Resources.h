#pragma once

#include <QIcon>

// Registers the program's compiled-in resources (images, icon, cursor). The resources
// live in a static library, so they must be pulled in explicitly; safe to call often.
void InitQuillpostResources();

// The program icon in every size it is drawn in.
QIcon ProgramIcon();
