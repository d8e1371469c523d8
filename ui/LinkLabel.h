#pragma once

#include <QCursor>
#include <QLabel>
#include <QString>

class QMouseEvent;

// What every link control shares: the hand over the whole label, and a left button press
// opens the link's address. Each kind of link adds only its look.
class CLinkLabel : public QLabel
{
    Q_OBJECT

public:
    void SetURL(const QString& url);
    const QString& URL() const { return m_strURL; }

protected:
    CLinkLabel(const char* address, QWidget* parent);

    void mousePressEvent(QMouseEvent* event) override;

private:
    QCursor m_hCursor;
    QString m_strURL;
};
