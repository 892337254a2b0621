#include "qtconversions.h"

#include <QGuiApplication>
#include <QPalette>

namespace tavrin {

namespace {
constexpr Color kSystemColorFlag = 0x80000000;

QPalette::ColorRole systemColorRole(Color index)
{
    switch (index) {
    case 5:  // window background
        return QPalette::Base;
    case 8:  // window text
        return QPalette::Text;
    case 18:  // button text
        return QPalette::ButtonText;
    default:
        return QPalette::Window;
    }
}
}  // namespace

QColor toQColor(Color color)
{
    if ((color & kSystemColorFlag) != 0) {
        const Color index = color & 0xFF;
        if (index == (kButtonFace & 0xFF))
            return {};
        return QGuiApplication::palette().color(systemColorRole(index));
    }
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

}  // namespace tavrin
