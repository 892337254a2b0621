// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "basictypes.h"

#include <string>
#include <string_view>

namespace tavrin {

// The main window's single controls; the nine cells are addressed by index.
enum class Control { Command2, Command3, Label1, Label2, Label3, Label4, Frame1, Frame2, List1, List2 };

enum class ScoreList { List1, List2 };

inline constexpr Integer kCellCount = 9;

// What the rules need of the main window. The window's controls are the only
// state: every read returns exactly what was last written.
class FormControls {
public:
    virtual ~FormControls() = default;

    // 0 <= index < kCellCount for every cell operation.
    virtual std::u16string cellCaption(Integer index) const = 0;
    virtual void setCellCaption(Integer index, std::u16string_view caption) = 0;
    virtual bool cellEnabled(Integer index) const = 0;
    virtual void setCellEnabled(Integer index, bool enabled) = 0;
    virtual void setCellVisible(Integer index, bool visible) = 0;
    virtual void setCellBackColor(Integer index, Color color) = 0;
    // Asks for the keyboard focus; a hidden or disabled cell cannot take it
    // and the request is then ignored.
    virtual void setCellFocus(Integer index) = 0;

    // Captions of labels, frames and buttons.
    virtual std::u16string caption(Control control) const = 0;
    virtual void setCaption(Control control, std::u16string_view caption) = 0;
    virtual void setVisible(Control control, bool visible) = 0;

    virtual void clearList(ScoreList list) = 0;
    virtual void addItem(ScoreList list, std::u16string_view item) = 0;
    // An index at or past the end reads as empty text.
    virtual std::u16string listItem(ScoreList list, Integer index) const = 0;

    // Modal prompt: the typed text, the default if unchanged, empty on Cancel.
    virtual std::u16string inputBox(std::u16string_view prompt, std::u16string_view title,
                                    std::u16string_view defaultText) = 0;
    // Modal message; lines are separated by carriage returns. Returns the
    // answer code (kAnswerYes, kAnswerNo).
    virtual Integer msgBox(std::u16string_view text, Integer style, std::u16string_view title) = 0;
    virtual void popupMenu() = 0;
    // Ends the program at once.
    virtual void endProgram() = 0;
};

}  // namespace tavrin
