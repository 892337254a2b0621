// SPDX-License-Identifier: GPL-3.0-or-later
#include "programicon.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTest>
#include <QtEndian>

using namespace tavrin;

namespace {

QByteArray resource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// A big-endian number of a file; a place past the end of a truncated file
// reads as 0 (and fails the comparison) instead of beyond the buffer.
quint16 be16(const QByteArray& data, qsizetype at)
{
    return at >= 0 && at <= data.size() - 2 ? qFromBigEndian<quint16>(data.constData() + at) : 0;
}

struct FrameHeader {
    int marker = 0;
    int precision = 0;
    int height = 0;
    int width = 0;
    int components = 0;
};

// The start-of-frame headers of a JPEG stream, read up to the scan data.
QList<FrameHeader> jpegFrames(const QByteArray& data)
{
    QList<FrameHeader> frames;
    qsizetype at = 2;
    while (at + 4 <= data.size() && quint8(data[at]) == 0xFF) {
        const int marker = quint8(data[at + 1]);
        const int length = be16(data, at + 2);
        const bool startOfFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (startOfFrame && at + 10 <= data.size())
            frames.append({marker, quint8(data[at + 4]), be16(data, at + 5), be16(data, at + 7), quint8(data[at + 9])});
        if (marker == 0xDA)  // start of scan: headers end here
            break;
        at += 2 + length;
    }
    return frames;
}

}  // namespace

class TestAssets : public QObject {
    Q_OBJECT

private slots:
    // Catches a logo of the wrong size or kind: progressive, 12-bit or
    // greyscale JPEGs are not the documented form.
    void logoIsABaselineColourJpegOf162By144()
    {
        const QByteArray jpeg = resource(QStringLiteral(":/tavrin/logo.jpg"));
        QVERIFY(jpeg.startsWith("\xFF\xD8"));
        const QList<FrameHeader> frames = jpegFrames(jpeg);
        QCOMPARE(frames.size(), 1);
        QCOMPARE(frames[0].marker, 0xC0);  // baseline DCT
        QCOMPARE(frames[0].precision, 8);
        QCOMPARE(frames[0].width, 162);
        QCOMPARE(frames[0].height, 144);
        QCOMPARE(frames[0].components, 3);

        const QImage logo = QImage::fromData(jpeg, "JPEG");
        QCOMPARE(logo.size(), QSize(162, 144));
        QVERIFY(!logo.allGray());
    }

    // Catches title-bar icons missing from the program.
    void programIconOffersTitleBarSizes()
    {
        const QIcon icon = programIcon();
        for (const int size : kTitleBarIconSizes) {
            const QImage image = icon.pixmap(QSize(size, size)).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            QVERIFY(qAlpha(image.pixel(0, 0)) < 32);  // the rounded corner, smoothed
            QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
        }
    }

    // Catches a desktop icon size the generator failed to draw.
    void desktopIconsExistInEverySize()
    {
        for (const int size : {TAVRIN_ICON_SIZES}) {
            const QString path = QStringLiteral(TAVRIN_ASSET_DIR "/icons/tavrin-%1.png").arg(size);
            const QImage image(path);
            QVERIFY2(!image.isNull(), qPrintable(path));
            QCOMPARE(image.size(), QSize(size, size));
            QVERIFY(image.hasAlphaChannel());
            QVERIFY(qAlpha(image.pixel(0, 0)) < 32);
            QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
        }
    }
};

QTEST_MAIN(TestAssets)
#include "tst_assets.moc"
