#include "captionlabel.h"

#include "shownslice.h"

namespace tavrin {

CaptionLabel::CaptionLabel(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

void CaptionLabel::setCaption(const QString& text)
{
    rawCaption = text;
    setText(shownSlice(text, CaptionAnchor::Centre));
    setAccessibleName(text.size() <= kShownCaptionLength ? QString() : text.left(kShownCaptionLength));
}

}  // namespace tavrin
