// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

namespace tavrin {

std::u16string openCellCaption(Integer index)
{
    return decimalText(static_cast<Integer>(index + 1));
}

void Form1::Command1_Click(Integer Index)
{
    const std::u16string toMove = form.caption(Control::Label4);
    if (toMove == form.caption(Control::Frame1)) {
        form.setCellCaption(Index, kFirstMark);
        form.setCellEnabled(Index, false);
        const std::u16string next = form.caption(Control::Frame2);
        form.setCaption(Control::Label4, next);
        events.markPlaced(Index, kFirstMark, next);
    } else if (toMove == form.caption(Control::Frame2)) {
        form.setCellCaption(Index, kSecondMark);
        form.setCellEnabled(Index, false);
        const std::u16string next = form.caption(Control::Frame1);
        form.setCaption(Control::Label4, next);
        events.markPlaced(Index, kSecondMark, next);
    }
    CheckResult();
}

void Form1::Command1_KeyPress(Integer /*Index*/, Integer KeyAscii)
{
    constexpr Integer digitOne = 49;
    constexpr Integer digitNine = 57;
    if (KeyAscii >= digitOne && KeyAscii <= digitNine) {
        keyCell = static_cast<Integer>(KeyAscii - digitOne);
        if (form.cellEnabled(keyCell))
            Command1_Click(keyCell);
    }
    if (KeyAscii == kEnterKey)
        Command3_Click();
}

}  // namespace tavrin
