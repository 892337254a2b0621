// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>

namespace tavrin::assets {

// The logo: a board on which O has just won along the diagonal. Drawn for a
// picture box of 129 x 143 pixels and squeezed into 162 x 144, so that the
// box's stretch gives the round marks back their shape.
QImage logoImage();
inline constexpr QSize kLogoSize{162, 144};
inline constexpr QSize kLogoShownSize{129, 143};

// The icon at size x size pixels, transparent outside its rounded tile. The
// smallest sizes leave out the grid and keep one O and one X; the winning
// line is drawn from 64 pixels up.
QImage iconImage(int size);

}  // namespace tavrin::assets
