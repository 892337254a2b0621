// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "basictypes.h"

#include <QDialog>
#include <QLineEdit>
#include <QString>
#include <QStringList>

class QDialogButtonBox;
class QFontMetrics;
class QLabel;
class QPushButton;

namespace tavrin {

// A modal dialog of the program: title and close button only, one size, and
// back on screen at once where a minimised window may have no way back.
class ProgramDialog : public QDialog {
    Q_OBJECT
public:
    // Minimising a modal dialog would leave the main window blocked with
    // nothing on screen to answer, and maximising it serves nothing.
    static constexpr Qt::WindowFlags kFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

    // Shows the dialog modally and returns its result once it is answered;
    // hiding it to show it afresh does not end the question.
    int ask();
    // Shows the dialog afresh as a new, unminimised window, the one way
    // back a Wayland compositor is sure to honour; the question goes on.
    void comeBack();

protected:
    ProgramDialog(QWidget* parent, const QString& title);
    void changeEvent(QEvent* event) override;
};

// The name field. Every repaint lays out its whole text: with a very long
// name in it, the blinking cursor alone would keep the program busy, so the
// field then repaints only for what changes it.
class NameField : public QLineEdit {
    Q_OBJECT
public:
    explicit NameField(QWidget* parent);

protected:
    bool event(QEvent* event) override;
};

// The name prompt: the prompt above the field with the default text
// selected, OK and Cancel.
class NamePrompt : public ProgramDialog {
    Q_OBJECT
public:
    NamePrompt(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText);

    QLabel* const label;
    NameField* const field;
    QDialogButtonBox* const buttons;

protected:
    bool event(QEvent* event) override;

private:
    bool selected = false;
};

// The Yes/No question with the warning icon, Yes the default; Escape and the
// close button answer No. Screen readers meet it as an alert.
class YesNoQuestion : public ProgramDialog {
    Q_OBJECT
public:
    // Each carriage return in `text` starts a new line; `names` are the parts
    // of the text that may be shortened, and keep to themselves whatever
    // their script (messageDisplayText).
    YesNoQuestion(QWidget* parent, const QString& text, const QStringList& names, const QString& title);

    QLabel* const icon;
    QLabel* const message;
    QDialogButtonBox* const buttons;
    QPushButton* const yes;
    QPushButton* const no;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// Modal text prompt with the default text preselected. Returns the typed
// text, the default when left unchanged, and empty text on Cancel, Escape or
// the close button.
QString runInputBox(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText);

// Asks a YesNoQuestion. Returns kAnswerYes, or kAnswerNo for No, Escape and
// the close button.
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
