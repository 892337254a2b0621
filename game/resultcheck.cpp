// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

namespace tavrin {

void Form1::CheckResult()
{
    bool won = false;
    for (const Line& line : kLines) {
        const std::u16string first = form.cellCaption(line.first);
        if (first == form.cellCaption(line.middle) && form.cellCaption(line.middle) == form.cellCaption(line.last)) {
            winSteps(line);
            won = true;
            break;
        }
    }
    if (!won) {
        Integer disabledCells = 0;
        for (Integer i = 0; i < kCellCount; ++i) {
            if (!form.cellEnabled(i))
                ++disabledCells;
        }
        if (disabledCells == kCellCount)
            drawSteps();
    }
    matchEnd();
}

void Form1::winSteps(const Line& line)
{
    form.setVisible(Control::Label1, true);
    form.setVisible(Control::Label2, true);
    const Player winner = form.cellCaption(line.first) == kFirstMark ? Player::First : Player::Second;
    const std::u16string name = form.caption(winner == Player::First ? Control::Frame1 : Control::Frame2);
    form.setCaption(Control::Label2, name);
    form.addItem(ScoreList::List1, winner == Player::First ? u"1" : u"0");
    form.addItem(ScoreList::List2, winner == Player::First ? u"0" : u"1");
    gameCount = addSaturated(gameCount, 1);
    for (Integer i = 0; i < kCellCount; ++i)
        form.setCellEnabled(i, false);
    form.setVisible(Control::Command3, true);
    form.setCellBackColor(line.first, kPureRed);
    form.setCellBackColor(line.middle, kPureRed);
    form.setCellBackColor(line.last, kPureRed);
    events.gameWon(winner, line);
}

void Form1::drawSteps()
{
    form.setVisible(Control::Label1, true);
    form.setVisible(Control::Label2, true);
    form.setCaption(Control::Label2, kDrawCaption);
    form.addItem(ScoreList::List1, u"0");
    form.addItem(ScoreList::List2, u"0");
    gameCount = addSaturated(gameCount, 1);
    form.setVisible(Control::Command3, true);
    events.gameDrawn();
}

}  // namespace tavrin
