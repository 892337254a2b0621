#include "captionframe.h"

#include "shownslice.h"

namespace tavrin {

CaptionFrame::CaptionFrame(QWidget* parent) : QGroupBox(parent) {}

void CaptionFrame::setCaption(const QString& text)
{
    rawCaption = text;
    // The group box reads "&" as a mnemonic marker; doubled, it shows as itself.
    QString shown = shownSlice(text, CaptionAnchor::Start);
    shown.replace(QLatin1Char('&'), QLatin1String("&&"));
    setTitle(shown);
    // Read out as written, not with the doubled "&" of the title.
    setAccessibleName(shownSlice(text, CaptionAnchor::Start));
}

}  // namespace tavrin
