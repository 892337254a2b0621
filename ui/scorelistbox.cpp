// SPDX-License-Identifier: GPL-3.0-or-later
#include "scorelistbox.h"

#include <QEvent>
#include <QImage>
#include <QPainter>

#include <cmath>

namespace tavrin {

bool ScoreListBox::event(QEvent* event)
{
    if (event->type() != QEvent::Paint || std::trunc(devicePixelRatio()) == devicePixelRatio())
        return QListWidget::event(event);
    // At a fractional scale the style draws the frame's one-pixel lines on
    // the device rows where the logical ones begin, and the viewport, rounded
    // out to whole device pixels and painted after the frame, covers the
    // last of them: the bottom and right edges were lost. Drawn one device
    // pixel per logical pixel and then laid on the device grid, each edge
    // takes the device pixels whose centres lie inside it.
    QImage frame(size(), QImage::Format_ARGB32_Premultiplied);
    frame.fill(Qt::transparent);
    QPainter framePainter(&frame);
    drawFrame(&framePainter);
    framePainter.end();
    QPainter painter(this);
    painter.drawImage(rect(), frame);
    return true;
}

}  // namespace tavrin
