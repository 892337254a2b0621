// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QString>

namespace tavrin {

inline constexpr int kWeightPlain = 400;
inline constexpr int kWeightBold = 700;
inline constexpr int kWeightExtraBold = 800;

// A font as the window designs name it: family, point size, weight
// (400 plain, 700 bold, 800 extra bold) and slant. A family that is not
// installed is replaced by a packaged one of a similar look; size, weight and
// slant stay as named.
QFont designFont(const QString& family, qreal pointSize, int weight, bool italic = false);

}  // namespace tavrin
