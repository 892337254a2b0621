// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrin {

// Counters, indexes and key codes are 16-bit signed, as the window's
// operations define them.
using Integer = std::int16_t;

// Colours as the window understands them: 0x00BBGGRR, or a system colour
// when the top bit is set.
using Color = std::uint32_t;
inline constexpr Color kPureRed = 255;
inline constexpr Color kButtonFace = 0x8000000F;

// Message box styles and answers.
inline constexpr Integer kYesNoExclamation = 52;
inline constexpr Integer kAnswerYes = 6;
inline constexpr Integer kAnswerNo = 7;

inline constexpr char16_t kCarriageReturn = u'\r';

// Mouse buttons as the window's events number them.
inline constexpr Integer kLeftButton = 1;
inline constexpr Integer kRightButton = 2;
inline constexpr Integer kMiddleButton = 4;

// The character code of Enter.
inline constexpr Integer kEnterKey = 13;

// Adds, holding at the 16-bit limits instead of wrapping past them. The
// game's counters stay far inside; one that runs on stops at the limit.
Integer addSaturated(Integer value, Integer increment);

// The leading decimal number of a text; empty or non-numeric text gives 0.
// Results beyond the 16-bit range saturate.
Integer leadingNumber(std::u16string_view text);

// Decimal text of a number with its sign position: " 3", "-3".
std::u16string numberWithSign(Integer value);

// Plain decimal text: "3", "-3".
std::u16string decimalText(Integer value);

}  // namespace tavrin
