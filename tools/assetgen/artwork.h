#pragma once

#include <QColor>
#include <QImage>

namespace tavrin::assets {

// The logo: a board on which O has just won along the diagonal. Drawn for a
// picture box of 129 x 143 pixels and squeezed into 162 x 144, so that the
// box's stretch gives the round marks back their shape.
QImage logoImage();
inline constexpr QSize kLogoSize{162, 144};
inline constexpr QSize kLogoShownSize{129, 143};

// The colours of one rendition of the icon.
struct IconColours {
    QColor tileTop, tileBottom, grid, nought, cross, strike;
    bool antialiased;
    bool strikeThrough;  // the winning line; too busy below 64 pixels
};

// Full colour, for the desktop and title bars.
IconColours fullColours(int size);
// Exact colours of the standard 16-colour palette, no blending.
IconColours sixteenColours();
// Black and white, no blending.
IconColours twoColours();

// The icon at size x size pixels, transparent outside its rounded tile. The
// smallest sizes leave out the grid and keep one O and one X.
QImage iconImage(int size, const IconColours& colours);

}  // namespace tavrin::assets
