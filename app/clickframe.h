// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>

namespace tavrin {

// A frame without a caption that reports clicks on its own surface. Clicks on
// its child controls, even those the children ignore, are not its clicks.
class ClickFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit ClickFrame(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool onSurface(const QPointF& position) const;

    Qt::MouseButton pressedButton = Qt::NoButton;
};

}  // namespace tavrin
