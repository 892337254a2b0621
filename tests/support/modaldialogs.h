// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "dialogs.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace tavrin::testing {

// Runs `answer` on the next modal dialog that opens, from inside its loop.
inline void whenModalOpens(std::function<void(QWidget*)> answer)
{
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, answer] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            answer(modal);
        }
    });
    poll->start();
}

// Answers a name prompt with `text`.
inline void typeIntoPrompt(QWidget* modal, const QString& text)
{
    if (auto* prompt = qobject_cast<NamePrompt*>(modal)) {
        prompt->field->setText(text);
        prompt->accept();
    }
}

// Presses Yes or No on the match-end question.
inline void answerQuestion(QWidget* modal, bool yes)
{
    if (auto* question = qobject_cast<YesNoQuestion*>(modal))
        (yes ? question->yes : question->no)->click();
}

// Answers the two name prompts that Play Now opens.
inline void answerNamePrompts(const QString& first, const QString& second)
{
    whenModalOpens([first, second](QWidget* modal) {
        typeIntoPrompt(modal, first);
        whenModalOpens([second](QWidget* next) { typeIntoPrompt(next, second); });
    });
}

}  // namespace tavrin::testing
