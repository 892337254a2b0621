// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QListWidget>

namespace tavrin {

// A list box whose frame shows all four edges at any scale.
class ScoreListBox : public QListWidget {
    Q_OBJECT
public:
    using QListWidget::QListWidget;

protected:
    bool event(QEvent* event) override;
};

}  // namespace tavrin
