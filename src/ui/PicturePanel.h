#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

namespace norvale {

// A panel of the main window: a background colour with a picture at its
// top-left corner, drawn the same whether the panel is enabled or not.
class PicturePanel : public QWidget
{
    Q_OBJECT

public:
    PicturePanel(const QColor &backColour, const QPixmap &picture, QWidget *parent = nullptr);

    QPixmap picture() const { return m_picture; }
    QColor backColor() const { return m_backColour; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_backColour;
    QPixmap m_picture;
};

} // namespace norvale
