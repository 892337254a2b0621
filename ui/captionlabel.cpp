#include "captionlabel.h"

#include "shownslice.h"

#include <QEvent>
#include <QPainter>

namespace tavrin {

CaptionLabel::CaptionLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

void CaptionLabel::setCaption(const QString& text)
{
    rawCaption = text;
    // Also what a screen reader reads: a long caption from its start, where
    // a name begins, and no further than a screen reader can use.
    setText(shownSlice(text, CaptionAnchor::Start));
    refit();
}

void CaptionLabel::refit()
{
    shown = fitCaption(rawCaption, font(), contentsRect().size(), Qt::AlignHCenter);
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
