#include "Artwork.h"
#include "ButtonPlus.h"

#include <QApplication>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>

using namespace norvale;

class TestButtonPlus : public QObject
{
    Q_OBJECT

private slots:
    void reportsClicksAndThePointerEnteringAndLeaving()
    {
        ButtonPlus button;
        button.resize(60, 20);
        button.show();
        QSignalSpy clicked(&button, &ButtonPlus::clicked);
        QSignalSpy entered(&button, &ButtonPlus::entered);
        QSignalSpy left(&button, &ButtonPlus::left);

        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QApplication::sendEvent(&button, &enter);
        QTest::mouseClick(&button, Qt::LeftButton);
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&button, &leave);

        QCOMPARE(entered.size(), 1);
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(left.size(), 1);
    }

    void showsTheButtonCursor()
    {
        ButtonPlus button;
        QCOMPARE(button.cursor().shape(), Qt::BitmapCursor);
        QCOMPARE(button.cursor().pixmap().size(), QSize(32, 32));
        QCOMPARE(button.cursor().hotSpot(), ButtonCursor().hotSpot());
    }

    void drawsItsBackColourCaptionAndPicture()
    {
        ButtonPlus button;
        button.resize(60, 20);
        button.setBackColor(QColor(0xAA, 0xC5, 0xDF));
        QImage blank = button.grab().toImage();
        QCOMPARE(blank.pixelColor(30, 10), QColor(0xAA, 0xC5, 0xDF));

        button.setPicture(BarPicture(3));
        const QImage face = button.grab().toImage();
        QCOMPARE(face.pixelColor(5, 10), BarPicture(3).toImage().pixelColor(5, 10));

        button.setText(QStringLiteral("MMMM"));
        button.setTextColor(Qt::black);
        button.setPicture(QPixmap());
        const QImage captioned = button.grab().toImage();
        bool dark = false;
        for (int x = 0; x < captioned.width(); ++x)
            dark = dark || captioned.pixelColor(x, 10).lightness() < 80;
        QVERIFY(dark);
    }
};

QTEST_MAIN(TestButtonPlus)
#include "tst_buttonplus.moc"
