// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>

#include <array>

namespace tavrin {

// Title bars and window switchers need no more than these; the larger
// renditions are for the desktop's icon theme.
inline constexpr std::array kTitleBarIconSizes{TAVRIN_TITLE_BAR_ICON_SIZES};

// The program's icon as window title bars show it. Its images load only
// when a window asks for them.
QIcon programIcon();

}  // namespace tavrin
