#include "graphicalbutton.h"

#include "keyascii.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

namespace tavrin {

GraphicalButton::GraphicalButton(QWidget* parent) : QPushButton(parent) {}

void GraphicalButton::setFaceColor(const QColor& color)
{
    if (color == face)
        return;
    face = color;
    update();
}

QColor GraphicalButton::shownFaceColor() const
{
    return face.isValid() ? face : palette().color(QPalette::Button);
}

void GraphicalButton::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const QBrush fill(shownFaceColor());
    qDrawWinButton(&painter, rect(), palette(), isDown(), &fill);

    QRect textArea = rect();
    if (isDown())
        textArea.translate(1, 1);
    painter.setFont(font());
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    if (isEnabled()) {
        painter.setPen(palette().color(QPalette::Active, QPalette::ButtonText));
    } else {
        // Etched like a disabled caption, yet dark enough that a taken
        // cell's mark stays easy to read.
        painter.setPen(palette().color(QPalette::Light));
        painter.drawText(textArea.translated(1, 1), flags, text());
        const QColor ink = palette().color(QPalette::Active, QPalette::ButtonText);
        const QColor face = palette().color(QPalette::Active, QPalette::Button);
        painter.setPen(QColor((ink.red() + face.red()) / 2, (ink.green() + face.green()) / 2,
                              (ink.blue() + face.blue()) / 2));
    }
    painter.drawText(textArea, flags, text());

    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(4, 4, -4, -4);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void GraphicalButton::keyPressEvent(QKeyEvent* event)
{
    if (const auto code = keyAsciiOf(*event))
        emit characterTyped(*code);
    QPushButton::keyPressEvent(event);
}

}  // namespace tavrin
