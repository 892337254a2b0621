// SPDX-License-Identifier: GPL-3.0-or-later
#include "qtconversions.h"

namespace tavrin {

QColor toQColor(Color color)
{
    if (color == kButtonFace)
        return {};
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

}  // namespace tavrin
