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
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(textArea, Qt::AlignCenter | Qt::TextSingleLine, text());

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
