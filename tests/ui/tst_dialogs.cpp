// The prompt and the message box as the rules rely on them: answers, defaults,
// buttons, icon and line breaks.
#include "dialogs.h"
#include "modaldialogs.h"
#include "tst_dialogs.moc"
