#include "programicon.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
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

// Readers of numbers in a file: a place past the end of a truncated file
// reads as 0 (and fails the comparison) instead of beyond the buffer.
bool holds(const QByteArray& data, qsizetype at, qsizetype size)
{
    return at >= 0 && at <= data.size() - size;
}

quint16 le16(const QByteArray& data, qsizetype at)
{
    return holds(data, at, 2) ? qFromLittleEndian<quint16>(data.constData() + at) : 0;
}

quint32 le32(const QByteArray& data, qsizetype at)
{
    return holds(data, at, 4) ? qFromLittleEndian<quint32>(data.constData() + at) : 0;
}

quint16 be16(const QByteArray& data, qsizetype at)
{
    return holds(data, at, 2) ? qFromBigEndian<quint16>(data.constData() + at) : 0;
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

    // Catches a broken icon file: wrong count, order, sizes or depths, or
    // sizes and offsets that do not add up.
    void iconFileHoldsTheThreeDocumentedImages()
    {
        const QByteArray ico = resource(QStringLiteral(TAVRIN_ASSET_DIR "/tavrin.ico"));
        QVERIFY(ico.size() >= 6 + 16 * 3);  // header and three directory entries
        QCOMPARE(le16(ico, 0), quint16(0));
        QCOMPARE(le16(ico, 2), quint16(1));
        QCOMPARE(le16(ico, 4), quint16(3));

        struct Expected {
            int size, bits;
        };
        const Expected expected[] = {{32, 1}, {32, 4}, {16, 4}};
        for (int i = 0; i < 3; ++i) {
            const qsizetype entry = 6 + 16 * i;
            const int size = expected[i].size;
            const int bits = expected[i].bits;
            QCOMPARE(int(quint8(ico[entry])), size);
            QCOMPARE(int(quint8(ico[entry + 1])), size);
            QCOMPARE(int(quint8(ico[entry + 2])), 1 << bits);
            QCOMPARE(le16(ico, entry + 4), quint16(1));
            QCOMPARE(int(le16(ico, entry + 6)), bits);
            const quint32 bytes = le32(ico, entry + 8);
            const quint32 offset = le32(ico, entry + 12);
            QVERIFY(offset + bytes <= quint32(ico.size()));

            const auto rowBytes = [size](int depth) { return (size * depth + 31) / 32 * 4; };
            const quint32 expectedBytes = 40 + 4 * (1u << bits) + quint32((rowBytes(bits) + rowBytes(1)) * size);
            QCOMPARE(bytes, expectedBytes);
            QCOMPARE(le32(ico, offset), quint32(40));
            QCOMPARE(int(le32(ico, offset + 4)), size);
            QCOMPARE(int(le32(ico, offset + 8)), 2 * size);
            QCOMPARE(int(le16(ico, offset + 12)), 1);
            QCOMPARE(int(le16(ico, offset + 14)), bits);
            QCOMPARE(le32(ico, offset + 16), quint32(0));  // uncompressed
        }
    }

    // Catches an icon file that a standard reader cannot decode, or whose
    // pictures lost their shape: each image must show a tile with
    // transparent corners and its marks in colours of their own.
    void iconImagesDecodeWithTransparentCorners()
    {
        QByteArray ico = resource(QStringLiteral(TAVRIN_ASSET_DIR "/tavrin.ico"));
        QBuffer buffer(&ico);
        QImageReader reader(&buffer, "ico");
        QCOMPARE(reader.imageCount(), 3);
        const QSize sizes[] = {{32, 32}, {32, 32}, {16, 16}};
        for (int i = 0; i < 3; ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(image.size(), sizes[i]);
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(image.pixel(image.width() - 1, image.height() - 1)), 0);
            QSet<QRgb> colours;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (qAlpha(image.pixel(x, y)) == 255)
                        colours.insert(image.pixel(x, y));
            // Black and white; tile, O and X.
            QVERIFY2(colours.size() >= (i == 0 ? 2 : 3), qPrintable(QString::number(colours.size())));
        }
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
