// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QSizeF>
#include <QString>

class QPainter;

namespace tavrin {

// Never drawn smaller than this, however long the caption.
inline constexpr qreal kLegibleFloorPoints = 9;

// How a caption is drawn on one line in a box of fixed size: with the
// designed font when it fits, else whole at a smaller size of that font,
// else at the floor size shortened in its middle with an ellipsis. Smaller
// sizes keep the designed baseline, unless descenders would cross the box's
// foot.
struct CaptionFit {
    QFont font;
    QString text;
    // Where the line's baseline lies below the top of the box.
    qreal baseline = 0;
    // The caption is drawn as the control would draw it by itself.
    bool asDesigned = true;
    // Part of the caption gave way to the ellipsis.
    bool shortened = false;
};

// Fits `caption` into `box`, aligned as `horizontal` says (Qt::AlignLeft
// or Qt::AlignHCenter), its line designed to begin `lineTop` below the
// box's top. It fits when all its ink lies inside the box, clear of the
// edges: at scales of fractional device pixels a glyph that only touches an
// edge may lose its last row.
CaptionFit fitCaption(const QString& caption, const QFont& designed, const QSizeF& box, Qt::Alignment horizontal,
                      qreal lineTop = 0);

// Draws a fitted caption into `box` with the painter's pen, in the direction
// of its script.
void drawFittedCaption(QPainter& painter, const CaptionFit& fit, const QRectF& box, Qt::Alignment horizontal);

// The tooltip that shows a shortened caption whole, as plain text.
QString captionToolTip(const QString& caption);

}  // namespace tavrin
