// SPDX-License-Identifier: GPL-3.0-or-later
#include "clickframe.h"

#include <QMouseEvent>

namespace tavrin {

ClickFrame::ClickFrame(QWidget* parent) : QGroupBox(parent) {}

bool ClickFrame::onSurface(const QPointF& position) const
{
    const QPoint point = position.toPoint();
    return rect().contains(point) && childAt(point) == nullptr;
}

void ClickFrame::mousePressEvent(QMouseEvent* event)
{
    // A frame is clicked with the left or the right button, not the middle one.
    const bool clickButton = event->button() == Qt::LeftButton || event->button() == Qt::RightButton;
    if (clickButton && onSurface(event->position())) {
        pressedButton = event->button();
        event->accept();
    } else {
        event->ignore();
    }
}

void ClickFrame::mouseReleaseEvent(QMouseEvent* event)
{
    // A press that began on a child arrives here only after the child ignored
    // it, and leaves no pressed button behind.
    const bool click = event->button() == pressedButton && onSurface(event->position());
    if (event->button() == pressedButton)
        pressedButton = Qt::NoButton;
    if (click)
        emit clicked();
}

}  // namespace tavrin
