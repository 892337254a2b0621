#pragma once

#include <QGroupBox>

namespace tavrin {

// A frame whose caption is shown exactly as given, "&" included.
class CaptionFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit CaptionFrame(QWidget* parent = nullptr);

    void setCaption(const QString& text);
    QString caption() const { return rawCaption; }

private:
    QString rawCaption;
};

}  // namespace tavrin
