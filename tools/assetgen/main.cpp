// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the program's pictures: the splash logo and the icon in every size
// the program and the desktop use. Usage: assetgen OUTPUT_DIRECTORY ICON_SIZE...
#include "artwork.h"

#include <QDir>
#include <QImageWriter>

#include <cstdio>

namespace {

bool writeImage(const QImage& image, const QString& path, const char* format, int quality)
{
    QImageWriter writer(path, format);
    writer.setQuality(quality);
    if (writer.write(image))
        return true;
    std::fprintf(stderr, "assetgen: %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
    return false;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: assetgen OUTPUT_DIRECTORY ICON_SIZE...\n");
        return 2;
    }
    using namespace tavrin::assets;
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("icons"))) {
        std::fprintf(stderr, "assetgen: cannot create %s\n", argv[1]);
        return 1;
    }

    // Qt writes a baseline JPEG with 8-bit samples; an RGB image keeps all
    // three components.
    bool ok = writeImage(logoImage(), out.filePath(QStringLiteral("logo.jpg")), "jpeg", 92);

    for (int arg = 2; arg < argc; ++arg) {
        const int size = QByteArray(argv[arg]).toInt();
        if (size <= 0) {
            std::fprintf(stderr, "assetgen: not an icon size: %s\n", argv[arg]);
            return 2;
        }
        ok = writeImage(iconImage(size), out.filePath(QStringLiteral("icons/tavrin-%1.png").arg(size)), "png", -1) && ok;
    }
    return ok ? 0 : 1;
}
