#pragma once

#include <QString>

class QFontMetrics;
class QWidget;

namespace tavrin {

// Modal text prompt with the default text preselected. Returns the typed
// text, the default when left unchanged, and empty text on Cancel, Escape or
// the close button.
QString runInputBox(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText);

// Modal message box. `style` combines a button set (0 OK, 1 OK/Cancel,
// 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel), an icon
// (16 critical, 32 question, 48 exclamation, 64 information) and a default
// button (0, 256, 512 for the first, second, third). Each carriage return in
// `text` starts a new line. Returns 1 OK, 2 Cancel, 3 Abort, 4 Retry,
// 5 Ignore, 6 Yes, 7 No; closing the box answers as its cancel button does,
// or No / OK where it has none.
int runMsgBox(QWidget* parent, const QString& text, int style, const QString& title);

// Text as a message box shows it: carriage returns become line breaks, and
// lines wider than `maxLineWidth` end in an ellipsis.
QString messageDisplayText(const QString& text, const QFontMetrics& metrics, int maxLineWidth);

}  // namespace tavrin
