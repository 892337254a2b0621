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
    // A long caption is read from its start, where a name begins, and no
    // further than a screen reader can use.
    setAccessibleName(text.size() <= kShownCaptionLength ? QString() : shownSlice(text, CaptionAnchor::Start));
}

}  // namespace tavrin
