// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace tavrin {

// A notification that screen readers speak and the screen never shows: it
// has no size, takes no focus and no clicks. Each announcement replaces
// the last.
class Announcer : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget* parent);

    // Hands `text` to the screen reader as one plain-text utterance.
    void announce(const QString& text);
    // The last announcement, empty before the first.
    QString text() const { return accessibleName(); }
};

}  // namespace tavrin
