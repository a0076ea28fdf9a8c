#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>

namespace norvale {

// The window's one picture button: a background colour, a picture, a caption
// in a text colour, and the button cursor. It reports clicks (clicked) and the
// pointer entering and leaving it (entered, left); all its looks can change at
// run time.
//
// The picture is either the button's face, drawn at the top-left corner, cut
// off at the edges, with the caption centred on top of it; or an icon, scaled
// down to the button's height when it is taller, shown left of the caption or
// centred when there is no caption.
class ButtonPlus : public QAbstractButton
{
    Q_OBJECT
    Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor)
    Q_PROPERTY(QColor textColor READ textColor WRITE setTextColor)
    Q_PROPERTY(QPixmap picture READ picture WRITE setPicture)

public:
    enum class PictureLayout
    {
        Face,
        Icon
    };

    explicit ButtonPlus(QWidget *parent = nullptr);

    QColor backColor() const { return m_backColor; }
    void setBackColor(const QColor &colour);
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor &colour);
    QPixmap picture() const { return m_picture; }
    void setPicture(const QPixmap &picture);
    PictureLayout pictureLayout() const { return m_pictureLayout; }
    void setPictureLayout(PictureLayout layout);

    QSize sizeHint() const override;

signals:
    void entered();
    void left();

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QSize iconSize() const;

    QColor m_backColor = Qt::lightGray;
    QColor m_textColor = Qt::black;
    QPixmap m_picture;
    PictureLayout m_pictureLayout = PictureLayout::Face;
};

} // namespace norvale
