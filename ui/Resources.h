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

// The program's main window: a top-level window of its own (window managers leave transient
// dialogs off the task bar and without a minimise box), with a title, system menu,
// minimise, maximise and close box, and a frame the user can resize: the lists take the room.
constexpr Qt::WindowFlags MainWindowFlags = Qt::Window | Qt::CustomizeWindowHint
    | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint
    | Qt::WindowCloseButtonHint;

// The pointing hand shown over links, hot spot at the tip of the index finger. The arrow when
// the image cannot be loaded, so a link still works with the ordinary cursor.
QCursor HandCursor();

// The images both lists show, in StatusImage's order, cut from one strip whose teal
// background is see-through.
QList<QIcon> StatusImages();

// The size of one of them.
constexpr QSize StatusImageSize(16, 15);
