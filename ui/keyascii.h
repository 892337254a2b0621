// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeyEvent>

#include <optional>

namespace tavrin {

// The character code a key press types, or nothing for keys that type no
// single character (arrows, modifiers, input-method sequences).
inline std::optional<int> keyAsciiOf(const QKeyEvent& event)
{
    const QString typed = event.text();
    if (typed.size() != 1)
        return std::nullopt;
    const int code = typed.front().unicode();
    if (code == 0 || code > 0x7FFF)
        return std::nullopt;
    return code;
}

}  // namespace tavrin
