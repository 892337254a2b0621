// SPDX-License-Identifier: GPL-3.0-or-later
#include "form1.h"

namespace tavrin {

namespace {
constexpr Integer kGamesPerMatch = 5;
// Ten entries are read although a match leaves five in each list.
constexpr Integer kTotalledEntries = 10;
constexpr std::u16string_view kPlayAgainQuestion = u"Press YES to play again & NO to go to main menu.";
}  // namespace

void Form1::matchEnd()
{
    if (gameCount != kGamesPerMatch)
        return;
    form.setVisible(Control::Command3, false);
    Integer firstTotal = 0;
    Integer secondTotal = 0;
    for (Integer i = 0; i < kTotalledEntries; ++i) {
        firstTotal = addSaturated(firstTotal, leadingNumber(form.listItem(ScoreList::List1, i)));
        secondTotal = addSaturated(secondTotal, leadingNumber(form.listItem(ScoreList::List2, i)));
    }
    const std::u16string text = matchResultText(firstTotal, secondTotal);
    events.matchEnded(firstTotal, secondTotal);
    const Integer answer = form.msgBox(text, kYesNoExclamation, kTitle);
    if (answer == kAnswerYes)
        startMatchWithSamePlayers();
    else
        GoToMainMenu();
}

std::u16string Form1::matchResultText(Integer firstTotal, Integer secondTotal) const
{
    const std::u16string first = form.caption(Control::Frame1);
    const std::u16string second = form.caption(Control::Frame2);
    const auto secured = [](const std::u16string& name, Integer total) {
        return name + u" secured " + numberWithSign(total);
    };

    std::u16string text = first + u" VS " + second + kCarriageReturn;
    if (firstTotal > secondTotal) {
        text += first + u" wins the match." + kCarriageReturn;
        text += secured(first, firstTotal) + kCarriageReturn + secured(second, secondTotal);
    } else if (secondTotal > firstTotal) {
        text += second + u" wins the match." + kCarriageReturn;
        text += secured(second, secondTotal) + kCarriageReturn + secured(first, firstTotal);
    } else {
        text += u"Match draw.";
        text += kCarriageReturn;
        text += secured(first, firstTotal) + kCarriageReturn + secured(second, secondTotal);
    }
    text += kCarriageReturn;
    text += kPlayAgainQuestion;
    return text;
}

void Form1::startMatchWithSamePlayers()
{
    form.clearList(ScoreList::List1);
    form.clearList(ScoreList::List2);
    form.setCaption(Control::Label4, form.caption(Control::Frame1));
    form.setVisible(Control::Label1, false);
    form.setVisible(Control::Label2, false);
    rewriteCells({CellWrite::Enable, CellWrite::OpenCaption, CellWrite::ButtonFace});
    gameCount = 0;
    events.matchStarted(firstPlayerName, secondPlayerName, MatchStart::SamePlayers);
    form.setCellFocus(0);
}

void Form1::GoToMainMenu()
{
    form.clearList(ScoreList::List1);
    form.clearList(ScoreList::List2);
    form.setVisible(Control::Command2, true);
    for (const Control control : {Control::Label1, Control::Label2, Control::Label3, Control::Label4, Control::Frame1,
                                  Control::Frame2, Control::List1, Control::List2})
        form.setVisible(control, false);
    rewriteCells({CellWrite::Enable, CellWrite::Hide, CellWrite::OpenCaption, CellWrite::ButtonFace});
    gameCount = 0;
    events.mainMenuShown();
}

}  // namespace tavrin
