#pragma once

#include <QCursor>
#include <QLabel>
#include <QString>

class QMouseEvent;

// The banner picture as a link: the hand over the whole picture, and a left button press
// opens the banner address. The .ui file promotes a plain label to it.
class CBannerLink : public QLabel
{
    Q_OBJECT

public:
    explicit CBannerLink(QWidget* parent = nullptr);
    ~CBannerLink() override;

    void SetURL(const QString& url);
    const QString& URL() const { return m_strURL; }

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QCursor m_hCursor;
    QString m_strURL;
};
