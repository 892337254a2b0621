#pragma once

#include "basictypes.h"

#include <QString>
#include <QStringList>

class QFontMetrics;
class QWidget;

namespace tavrin {

// Modal text prompt with the default text preselected. Returns the typed
// text, the default when left unchanged, and empty text on Cancel, Escape or
// the close button.
QString runInputBox(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText);

// Modal question with Yes and No buttons and the warning icon, Yes the
// default. Each carriage return in `text` starts a new line; `names` are the
// parts of the text that may be shortened to keep the box on screen, and
// that keep to themselves whatever their script. Returns kAnswerYes, or
// kAnswerNo for No, Escape and the close button.
Integer askYesNo(QWidget* parent, const QString& text, const QStringList& names, const QString& title);

// Text as the question shows it: carriage returns become line breaks; each
// line opens with a left-to-right mark (U+200E) and each name stands between
// directional isolates (U+2068 ... U+2069), so that every line keeps its
// order and runs left to right whatever the names' script; and in a line
// wider than `maxLineWidth` the names give way in their middle to an
// ellipsis, the text around them kept whole.
QString messageDisplayText(const QString& text, const QStringList& names, const QFontMetrics& metrics,
                           int maxLineWidth);

}  // namespace tavrin
