// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "captionfit.h"

#include <QLabel>

namespace tavrin {

// A label that shows its caption as plain text, centred, and reads back
// exactly what was written. A caption too large for the label is drawn
// smaller, or shortened in its middle with its whole text as tooltip.
class CaptionLabel : public QLabel {
    Q_OBJECT
public:
    explicit CaptionLabel(QWidget* parent = nullptr);

    void setCaption(const QString& text);
    QString caption() const { return rawCaption; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refit();
    void showFit();

    QString rawCaption;
    CaptionFit shown;
    // The caption before, fitted as it was: the turn label alternates
    // between two names, and fitting one again was the dearest part of a
    // move. Valid until the font or the size changes.
    QString spareCaption;
    CaptionFit spare;
    bool hasSpare = false;
};

}  // namespace tavrin
