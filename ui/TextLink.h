#pragma once

#include <QColor>
#include <QCursor>
#include <QFont>
#include <QLabel>
#include <QString>

class QEvent;
class QMouseEvent;

// A line of text as a link: pure blue and underlined in the dialog's own font, no background
// of its own, the hand over the whole rectangle, and a left button press opens the text-link
// address. The look never changes, after a click or otherwise. The .ui file promotes a plain
// label to it.
class CTextLink : public QLabel
{
    Q_OBJECT

public:
    explicit CTextLink(QWidget* parent = nullptr);
    ~CTextLink() override;

    void SetURL(const QString& url);
    const QString& URL() const { return m_strURL; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QColor m_crText;
    QCursor m_hCursor;
    QString m_strURL;
    QFont m_font;
};
