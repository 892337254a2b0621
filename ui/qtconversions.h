// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "basictypes.h"

#include <QColor>
#include <QRect>
#include <QString>

#include <string>
#include <string_view>

namespace tavrin {

// Window positions and sizes are designed in twips, 15 to a pixel at 96 dpi.
constexpr int twipsToPixels(int twips)
{
    return twips / 15;
}

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

inline QString toQString(std::u16string_view text)
{
    return QString(reinterpret_cast<const QChar*>(text.data()), static_cast<qsizetype>(text.size()));
}

inline std::u16string toU16(const QString& text)
{
    return text.toStdU16String();
}

// An invalid QColor stands for the palette's button face, so that the face
// follows the current palette rather than a copy of it. The button face is
// the only system colour the rules write.
QColor toQColor(Color color);

}  // namespace tavrin
