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
    if (form.cellCaption(line.first) == kFirstMark) {
        form.setCaption(Control::Label2, form.caption(Control::Frame1));
        form.addItem(ScoreList::List1, u"1");
        form.addItem(ScoreList::List2, u"0");
    } else {
        form.setCaption(Control::Label2, form.caption(Control::Frame2));
        form.addItem(ScoreList::List1, u"0");
        form.addItem(ScoreList::List2, u"1");
    }
    gameCount = addSaturated(gameCount, 1);
    for (Integer i = 0; i < kCellCount; ++i)
        form.setCellEnabled(i, false);
    form.setVisible(Control::Command3, true);
    form.setCellBackColor(line.first, kPureRed);
    form.setCellBackColor(line.middle, kPureRed);
    form.setCellBackColor(line.last, kPureRed);
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
}

}  // namespace tavrin
