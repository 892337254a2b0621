// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QPushButton>

namespace tavrin {

// A push button whose face shows a colour of its own, drawn as a plain
// bevelled panel. The caption is drawn as plain text: "&" is no mnemonic.
class GraphicalButton : public QPushButton {
    Q_OBJECT
public:
    explicit GraphicalButton(QWidget* parent = nullptr);

    // An invalid colour shows the palette's button face.
    void setFaceColor(const QColor& color);
    // The colour the face is painted in right now.
    QColor shownFaceColor() const;

signals:
    // A character typed while the button has the focus.
    void characterTyped(int code);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QColor face;
};

}  // namespace tavrin
