// SPDX-License-Identifier: GPL-3.0-or-later
#include "basictypes.h"

#include <algorithm>
#include <limits>

namespace tavrin {

Integer addSaturated(Integer value, Integer increment)
{
    using Limits = std::numeric_limits<Integer>;
    return static_cast<Integer>(std::clamp(int{value} + int{increment}, int{Limits::min()}, int{Limits::max()}));
}

Integer leadingNumber(std::u16string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t'))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == u'-' || text[pos] == u'+')) {
        negative = text[pos] == u'-';
        ++pos;
    }
    long magnitude = 0;
    constexpr long limit = 1L << 16;
    for (; pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9'; ++pos) {
        if (magnitude < limit)
            magnitude = magnitude * 10 + (text[pos] - u'0');
    }
    const long value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<Integer>::max())
        return std::numeric_limits<Integer>::max();
    if (value < std::numeric_limits<Integer>::min())
        return std::numeric_limits<Integer>::min();
    return static_cast<Integer>(value);
}

std::u16string decimalText(Integer value)
{
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

std::u16string numberWithSign(Integer value)
{
    if (value < 0)
        return decimalText(value);
    std::u16string text = u" ";
    text += decimalText(value);
    return text;
}

}  // namespace tavrin
