#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRgb>

namespace tavrin::assets {

// One image of an icon file: a palette of 2 or 16 colours; pixels less than
// half opaque become transparent, the others take the nearest colour.
struct IconEntry {
    QImage image;
    QList<QRgb> palette;
};

// The standard 16-colour palette, black first.
QList<QRgb> standardPalette16();
QList<QRgb> blackAndWhite();

// An .ico file holding the images in the given order, each as a
// bottom-up bitmap of 1 or 4 bits per pixel followed by its transparency mask.
QByteArray icoFile(const QList<IconEntry>& entries);

}  // namespace tavrin::assets
