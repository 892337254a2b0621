// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

namespace tavrin {

void Form1::Form_Load()
{
    form.clearList(ScoreList::List1);
    form.clearList(ScoreList::List2);
}

void Form1::Command2_Click()
{
    firstPlayerName = form.inputBox(u"Enter name of first player", kTitle, u"Player 1");
    secondPlayerName = form.inputBox(u"Enter name of second player", kTitle, u"Player 2");
    for (Integer i = 0; i < kCellCount; ++i)
        form.setCellVisible(i, true);
    for (const Control control :
         {Control::Label3, Control::Label4, Control::Frame1, Control::Frame2, Control::List1, Control::List2})
        form.setVisible(control, true);
    form.setVisible(Control::Command2, false);
    form.setCaption(Control::Frame1, firstPlayerName);
    form.setCaption(Control::Frame2, secondPlayerName);
    form.setCaption(Control::Label4, firstPlayerName);
    events.matchStarted(firstPlayerName, secondPlayerName, MatchStart::NewPlayers);
}

void Form1::rewriteCells(std::initializer_list<CellWrite> writes)
{
    for (Integer i = 0; i < kCellCount; ++i) {
        for (const CellWrite write : writes) {
            switch (write) {
            case CellWrite::Enable:
                form.setCellEnabled(i, true);
                break;
            case CellWrite::Hide:
                form.setCellVisible(i, false);
                break;
            case CellWrite::OpenCaption:
                form.setCellCaption(i, openCellCaption(i));
                break;
            case CellWrite::ButtonFace:
                form.setCellBackColor(i, kButtonFace);
                break;
            }
        }
    }
}

void Form1::Command3_Click()
{
    rewriteCells({CellWrite::Enable, CellWrite::ButtonFace, CellWrite::OpenCaption});
    form.setVisible(Control::Label1, false);
    form.setVisible(Control::Label2, false);
    form.setVisible(Control::Command3, false);
    events.boardCleared();
    form.setCellFocus(0);
}

void Form1::Form_MouseUp(Integer Button)
{
    if (Button == kRightButton)
        form.popupMenu();
}

void Form1::Form_Unload()
{
    form.endProgram();
}

void Form1::List1_KeyPress(Integer KeyAscii)
{
    if (KeyAscii == kEnterKey)
        Command3_Click();
}

void Form1::mnupa_Click()
{
    GoToMainMenu();
}

void Form1::mnue_Click()
{
    form.endProgram();
}

}  // namespace tavrin
