// SPDX-License-Identifier: GPL-3.0-or-later
#include "captionframe.h"

#include "shownslice.h"

#include <QEvent>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace tavrin {

CaptionFrame::CaptionFrame(QWidget* parent) : QGroupBox(parent) {}

void CaptionFrame::setCaption(const QString& text)
{
    rawCaption = text;
    // The group box reads "&" as a mnemonic marker; doubled, it shows as itself.
    QString title = shownSlice(text, CaptionAnchor::Start);
    title.replace(QLatin1Char('&'), QLatin1String("&&"));
    setTitle(title);
    // Read out as written, not with the doubled "&" of the title.
    setAccessibleName(shownSlice(text, CaptionAnchor::Start));
    refit();
}

QRect CaptionFrame::captionLine() const
{
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    // The place of one line at the designed font, whatever its width.
    option.text = QStringLiteral("X");
    return style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, this);
}

QRect CaptionFrame::captionArea() const
{
    const QRect line = captionLine();
    return {line.left(), 0, width() - line.left(), line.bottom() + 1};
}

void CaptionFrame::refit()
{
    shown = fitCaption(rawCaption, font(), captionArea().size(), Qt::AlignLeft, captionLine().top());
    setToolTip(shown.shortened ? captionToolTip(rawCaption) : QString());
    update();
}

void CaptionFrame::paintEvent(QPaintEvent* event)
{
    if (shown.asDesigned) {
        QGroupBox::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionGroupBox option;
    initStyleOption(&option);
    option.text = shown.text;
    option.subControls &= ~QStyle::SC_GroupBoxLabel;
    painter.drawComplexControl(QStyle::CC_GroupBox, option);
    painter.setPen(palette().color(QPalette::WindowText));
    drawFittedCaption(painter, shown, captionArea(), Qt::AlignLeft);
}

void CaptionFrame::resizeEvent(QResizeEvent* event)
{
    QGroupBox::resizeEvent(event);
    refit();
}

void CaptionFrame::changeEvent(QEvent* event)
{
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        refit();
}

}  // namespace tavrin
