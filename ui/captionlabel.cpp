// SPDX-License-Identifier: GPL-3.0-or-later
#include "captionlabel.h"

#include "shownslice.h"

#include <QEvent>
#include <QPainter>

#include <utility>

namespace tavrin {

CaptionLabel::CaptionLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    refit();
}

void CaptionLabel::setCaption(const QString& text)
{
    const bool fitted = hasSpare && text == spareCaption;
    spareCaption = std::exchange(rawCaption, text);
    std::swap(shown, spare);
    hasSpare = true;
    // Also what a screen reader reads: a long caption from its start, where
    // a name begins, and no further than a screen reader can use.
    setText(shownSlice(text, CaptionAnchor::Start));
    if (!fitted)
        shown = fitCaption(rawCaption, font(), contentsRect().size(), Qt::AlignHCenter);
    showFit();
}

void CaptionLabel::refit()
{
    hasSpare = false;
    shown = fitCaption(rawCaption, font(), contentsRect().size(), Qt::AlignHCenter);
    showFit();
}

void CaptionLabel::showFit()
{
    setToolTip(shown.shortened ? captionToolTip(rawCaption) : QString());
    update();
}

void CaptionLabel::paintEvent(QPaintEvent* event)
{
    if (shown.asDesigned) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    drawFittedCaption(painter, shown, contentsRect(), Qt::AlignHCenter);
}

void CaptionLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    refit();
}

void CaptionLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        refit();
}

}  // namespace tavrin
