#pragma once

#include "ui/LinkLabel.h"

// The banner picture as a link to the banner address. The .ui file promotes a plain label
// to it.
class CBannerLink : public CLinkLabel
{
    Q_OBJECT

public:
    explicit CBannerLink(QWidget* parent = nullptr);
};
