// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "captionfit.h"

#include <QGroupBox>

namespace tavrin {

// A frame whose caption is shown exactly as given, "&" included. A caption
// wider than the frame is drawn smaller, or shortened in its middle with its
// whole text as tooltip; the frame itself stays where its font puts it.
class CaptionFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit CaptionFrame(QWidget* parent = nullptr);

    void setCaption(const QString& text);
    QString caption() const { return rawCaption; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refit();
    // Where the style puts one line of caption at the designed font.
    QRect captionLine() const;
    // From the frame's top to the foot of that line, to the frame's right.
    QRect captionArea() const;

    QString rawCaption;
    CaptionFit shown;
};

}  // namespace tavrin
