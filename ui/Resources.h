#pragma once

#include "runs/StatusImage.h"

#include <QCursor>
#include <QIcon>
#include <QList>
#include <QSize>

// Registers the program's compiled-in resources (images, icon, cursor). The resources
// live in a static library, so they must be pulled in explicitly; safe to call often.
void InitQuillpostResources();

// The program icon in every size it is drawn in.
QIcon ProgramIcon();

// The pointing hand shown over links, hot spot at the tip of the index finger. The arrow when
// the image cannot be loaded, so a link still works with the ordinary cursor.
QCursor HandCursor();

// The images both lists show, in StatusImage's order, cut from one strip whose teal
// background is see-through.
QList<QIcon> StatusImages();

// The size of one of them.
constexpr QSize StatusImageSize(16, 15);
