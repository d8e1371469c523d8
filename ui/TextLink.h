#pragma once

#include "ui/LinkLabel.h"

#include <QColor>
#include <QFont>

class QEvent;

// A line of text as a link to the text-link address: pure blue and underlined in the
// dialog's own font, no background of its own. The look never changes, after a click or
// otherwise. The .ui file promotes a plain label to it.
class CTextLink : public CLinkLabel
{
    Q_OBJECT

public:
    explicit CTextLink(QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    QColor m_crText;
    QFont m_font;
};
