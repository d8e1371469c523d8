#pragma once

#include <QIcon>
#include <QList>
#include <QSize>

// The images both lists show: 0 not posted, 1 post failed, 2 post succeeded, 3 parameter,
// cut from one strip whose teal background is see-through.
QList<QIcon> StatusImages();

// The size of one of them.
constexpr QSize StatusImageSize(16, 15);
