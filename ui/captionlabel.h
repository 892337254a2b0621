#pragma once

#include <QLabel>

namespace tavrin {

// A label that shows its caption as plain text, centred, and reads back
// exactly what was written.
class CaptionLabel : public QLabel {
    Q_OBJECT
public:
    explicit CaptionLabel(QWidget* parent = nullptr);

    void setCaption(const QString& text);
    QString caption() const { return rawCaption; }

private:
    QString rawCaption;
};

}  // namespace tavrin
