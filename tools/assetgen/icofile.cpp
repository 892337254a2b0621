#include "icofile.h"

#include <QtEndian>

#include <cstdint>
#include <limits>

namespace tavrin::assets {

namespace {

void put16(QByteArray& out, std::uint16_t value)
{
    const auto le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&le), sizeof le);
}

void put32(QByteArray& out, std::uint32_t value)
{
    const auto le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&le), sizeof le);
}

// Bitmap rows are padded to whole 32-bit words.
int rowBytes(int width, int bitsPerPixel)
{
    return (width * bitsPerPixel + 31) / 32 * 4;
}

int nearestIndex(QRgb colour, const QList<QRgb>& palette)
{
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < palette.size(); ++i) {
        const int dr = qRed(colour) - qRed(palette[i]);
        const int dg = qGreen(colour) - qGreen(palette[i]);
        const int db = qBlue(colour) - qBlue(palette[i]);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

int bitsFor(const QList<QRgb>& palette)
{
    return palette.size() <= 2 ? 1 : 4;
}

// Header, palette, colour bits and mask bits of one image.
QByteArray imageData(const IconEntry& entry)
{
    const QImage image = entry.image.convertToFormat(QImage::Format_ARGB32);
    const int width = image.width();
    const int height = image.height();
    const int bits = bitsFor(entry.palette);
    const int colourRow = rowBytes(width, bits);
    const int maskRow = rowBytes(width, 1);

    QByteArray out;
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(2 * height));  // colour bits and mask together
    put16(out, 1);
    put16(out, static_cast<std::uint16_t>(bits));
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>((colourRow + maskRow) * height));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb colour = i < entry.palette.size() ? entry.palette[i] : qRgb(0, 0, 0);
        out.append(char(qBlue(colour)));
        out.append(char(qGreen(colour)));
        out.append(char(qRed(colour)));
        out.append('\0');
    }

    QByteArray colours(colourRow * height, '\0');
    QByteArray mask(maskRow * height, '\0');
    for (int y = 0; y < height; ++y) {
        const int row = height - 1 - y;  // bottom-up
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            if (qAlpha(line[x]) < 128) {
                // Transparent: mask bit set, colour index 0 (black) so the
                // screen shows through unchanged.
                mask[row * maskRow + x / 8] = char(mask[row * maskRow + x / 8] | (0x80 >> (x % 8)));
                continue;
            }
            const int index = nearestIndex(line[x], entry.palette);
            if (bits == 1) {
                if (index != 0)
                    colours[row * colourRow + x / 8] = char(colours[row * colourRow + x / 8] | (0x80 >> (x % 8)));
            } else {
                const int shift = x % 2 == 0 ? 4 : 0;
                colours[row * colourRow + x / 2] = char(colours[row * colourRow + x / 2] | (index << shift));
            }
        }
    }
    out.append(colours);
    out.append(mask);
    return out;
}

}  // namespace

QList<QRgb> standardPalette16()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

QList<QRgb> blackAndWhite()
{
    return {qRgb(0, 0, 0), qRgb(255, 255, 255)};
}

QByteArray icoFile(const QList<IconEntry>& entries)
{
    QList<QByteArray> images;
    for (const IconEntry& entry : entries)
        images.append(imageData(entry));

    QByteArray out;
    put16(out, 0);
    put16(out, 1);  // an icon, not a cursor
    put16(out, static_cast<std::uint16_t>(entries.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QImage& image = entries[i].image;
        const int bits = bitsFor(entries[i].palette);
        out.append(char(image.width() & 0xff));  // 256 would be written as 0
        out.append(char(image.height() & 0xff));
        out.append(char(1 << bits));             // colours in the palette
        out.append('\0');
        put16(out, 1);
        put16(out, static_cast<std::uint16_t>(bits));
        put32(out, static_cast<std::uint32_t>(images[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const QByteArray& image : images)
        out.append(image);
    return out;
}

}  // namespace tavrin::assets
