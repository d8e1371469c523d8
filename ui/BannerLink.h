#pragma once

#include "ui/LinkLabel.h"

#include <QSize>

class QResizeEvent;

// The banner picture as a link to the banner address. The .ui file promotes a plain label
// to it.
//
// The label takes the strip the layout gives it; its sunken frame hugs the picture in the
// middle of that strip, so the picture is never stretched and the frame never gapes. It asks
// for no more than the framed picture, so the window can still narrow down to that.
class CBannerLink : public CLinkLabel
{
    Q_OBJECT

public:
    explicit CBannerLink(QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The picture with its frame; empty while the label shows no picture.
    QSize FramedPictureSize() const;
};
