// The icon the window gives the desktop: every size rendered from the drawing
// is in the program, so that a build run from its folder has it too.
#include <QIcon>
#include <QtTest>

#include "app/app_icon.h"

class TestAppIcon : public QObject {
    Q_OBJECT
private slots:
    void everyRenderedSizeIsCompiledIn() {
        const QIcon icon = tht::app::applicationIcon();
        QVERIFY(!icon.isNull());
        const QList<QSize> sizes = icon.availableSizes();
        for (int side : {16, 24, 32, 48, 256})
            QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QStringLiteral("no %1 px picture").arg(side)));
        // The program's own picture, even at 16 px: the two directions' arrows
        // in the form's blue and red.
        const QImage small = icon.pixmap(QSize(16, 16)).toImage();
        QCOMPARE(small.size(), QSize(16, 16));
        bool blue = false, red = false;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const QRgb p = small.pixel(x, y);
                blue = blue || p == qRgb(0, 0, 255);
                red = red || p == qRgb(255, 0, 0);
            }
        QVERIFY(blue && red);
    }
};

QTEST_MAIN(TestAppIcon)
#include "app_icon_test.moc"
