// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"

#include "captionframe.h"
#include "captionlabel.h"
#include "designfonts.h"
#include "dialogs.h"
#include "graphicalbutton.h"
#include "keyascii.h"
#include "modalrecall.h"
#include "wrappingbutton.h"
#include "qtconversions.h"
#include "scorelistbox.h"
#include "screenplacement.h"
#include "shownslice.h"
#include "visiblestate.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

namespace tavrin {

namespace {

// What a screen reader calls a score list: after the player named by the
// frame it lies in or over.
QString scoreListName(const QString& player)
{
    if (player.isEmpty())
        return QStringLiteral("Scores");
    return QStringLiteral("Scores of %1").arg(shownSlice(player, CaptionAnchor::Start));
}

// What a screen reader calls a cell: where it is and what it holds.
QString cellAccessibleName(Integer index, const QString& caption)
{
    const QString number = QString::number(index + 1);
    if (caption == toQString(openCellCaption(index)))
        return QStringLiteral("Cell %1, empty").arg(number);
    return QStringLiteral("Cell %1, %2").arg(number, shownSlice(caption, CaptionAnchor::Start));
}

CaptionLabel* makeLabel(QWidget* parent, const QRect& geometry, const QFont& font, const QString& text = {})
{
    auto* label = new CaptionLabel(parent);
    label->setGeometry(geometry);
    label->setFont(font);
    label->setCaption(text);
    label->hide();
    return label;
}

QListWidget* makeList(QWidget* parent, const QRect& geometry)
{
    auto* list = new ScoreListBox(parent);
    list->setGeometry(geometry);
    list->setFont(designFont(QStringLiteral("Mistral"), 14.25, kWeightBold));
    // The designed list holds one entry; the load handler clears it unseen.
    list->addItem(QStringLiteral("1"));
    list->setAccessibleName(scoreListName({}));
    list->hide();
    return list;
}

template <class... Handlers>
struct Overloaded : Handlers... {
    using Handlers::operator()...;
};
// Clang before 17 deduces no aggregate's arguments by itself.
template <class... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

// Mouse buttons as the handlers number them.
Integer buttonNumber(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return kLeftButton;
    case Qt::RightButton:
        return kRightButton;
    case Qt::MiddleButton:
        return kMiddleButton;
    default:
        return 0;
    }
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent)
{
    setWindowTitle(QStringLiteral("Tavrin"));
    setGeometry(kDesignedGeometry);
    keepOnScreen(*this);
    createControls();
    createMenu();
    setTabOrder();
    Command2->setFocus();
    new ModalRecall(*this);
    reportVisibleStates(*this);
    rules.Form_Load();
}

MainWindow::~MainWindow() = default;

// Created from back to front: a later sibling lies in front of earlier ones.
void MainWindow::createControls()
{
    Label1 = makeLabel(this, twipsRect(2280, 3840, 2055, 375),
                       designFont(QStringLiteral("Mistral"), 18, kWeightBold, true), toQString(kWinnerBanner));
    Label2 = makeLabel(this, twipsRect(2280, 4560, 2055, 615),
                       designFont(QStringLiteral("Rockwell Extra Bold"), 18, kWeightExtraBold));
    Label3 = makeLabel(this, twipsRect(1920, 120, 2775, 375),
                       designFont(QStringLiteral("Bambi Bold"), 14.25, kWeightBold), QStringLiteral("Current Player"));
    Label4 = makeLabel(this, twipsRect(2160, 720, 2295, 495),
                       designFont(QStringLiteral("FontleroyBrown"), 21.75, kWeightBold, true));

    const QFont cellFont = designFont(QStringLiteral("Matura MT Script Capitals"), 15.75, kWeightBold);
    for (Integer i = 0; i < kCellCount; ++i) {
        auto* cell = new GraphicalButton(this);
        cell->setGeometry(twipsRect(2280 + 720 * (i % 3), 1440 + 720 * (i / 3), 735, 735));
        cell->setFont(cellFont);
        const QString caption = toQString(openCellCaption(i));
        cell->setText(caption);
        cell->setAccessibleName(cellAccessibleName(i, caption));
        cell->installEventFilter(this);
        cell->hide();
        connect(cell, &QPushButton::clicked, this, [this, i] { handle([this, i] { rules.Command1_Click(i); }); });
        connect(cell, &GraphicalButton::characterTyped, this, [this, i](int code) {
            const QString refused = refusal(code, false);
            handle([=, this] { rules.Command1_KeyPress(i, static_cast<Integer>(code)); });
            if (!refused.isEmpty())
                narrator.say(refused);
        });
        Command1.at(static_cast<std::size_t>(i)) = cell;
    }

    const QFont frameFont = designFont(QStringLiteral("Agency FB"), 15.75, kWeightBold);
    Frame1 = new CaptionFrame(this);
    Frame1->setGeometry(twipsRect(240, 600, 1575, 4695));
    Frame1->setFont(frameFont);
    Frame1->hide();
    List1 = makeList(Frame1, twipsRect(600, 720, 495, 3360));
    List1->installEventFilter(this);

    Frame2 = new CaptionFrame(this);
    Frame2->setGeometry(twipsRect(4920, 600, 1575, 4695));
    Frame2->setFont(frameFont);
    Frame2->hide();
    List2 = makeList(this, twipsRect(5400, 1320, 495, 3360));
    List2->installEventFilter(this);

    Command2 = new WrappingButton(toQString(kPlayNowCaption), this);
    Command2->setGeometry(twipsRect(1800, 1320, 3135, 2535));
    Command2->setFont(designFont(QStringLiteral("Nervous Rex"), 48, kWeightPlain, true));
    Command2->setAutoDefault(false);
    connect(Command2, &QPushButton::clicked, this, [this] { handle([this] { rules.Command2_Click(); }); });

    Command3 = new WrappingButton(QStringLiteral("Continue"), this);
    Command3->setGeometry(twipsRect(2160, 600, 2415, 615));
    Command3->setFont(designFont(QStringLiteral("Viner Hand ITC"), 15.75, kWeightBold));
    Command3->setAutoDefault(false);
    Command3->hide();
    connect(Command3, &QPushButton::clicked, this, [this] { handle([this] { rules.Command3_Click(); }); });
}

void MainWindow::createMenu()
{
    // Never shown as a menu bar: the window has none, and opens it only as a popup.
    mnumenu = new QMenu(QStringLiteral("Menu"), this);
    mnumenu->setObjectName(QStringLiteral("mnumenu"));
    // Screen readers read a menu's name before its first item: "Tavrin menu".
    mnumenu->setAccessibleName(QStringLiteral("Tavrin"));
    mnupa = mnumenu->addAction(QStringLiteral("Play Again"));
    mnupa->setObjectName(QStringLiteral("mnupa"));
    mnue = mnumenu->addAction(QStringLiteral("Exit Game"));
    mnue->setObjectName(QStringLiteral("mnue"));
    connect(mnupa, &QAction::triggered, this, [this] { handle([this] { rules.mnupa_Click(); }); });
    connect(mnue, &QAction::triggered, this, [this] { rules.mnue_Click(); });
    // The same menu for the keyboard, from the menu key or Shift+F10, as
    // desktop programs offer their context menus.
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &MainWindow::popupAtFocus);
    // B for the board, a key that no control and no handler of the window takes.
    connect(new QShortcut(QKeySequence(Qt::Key_B), this), &QShortcut::activated, this, &MainWindow::readBoard);
}

void MainWindow::popupAtFocus()
{
    if (ending)
        return;
    const QWidget* focused = focusWidget();
    const QWidget* anchor = focused != nullptr && focused->isVisible() ? focused : this;
    // Opened by keyboard, the menu starts at its first item, as menus do
    // elsewhere on the desktop; a screen reader reads it out at once.
    QTimer::singleShot(0, mnumenu, [this] {
        if (mnumenu->isVisible())
            mnumenu->setActiveAction(mnupa);
    });
    if (mnumenu->exec(anchor->mapToGlobal(anchor->rect().center())) == nullptr && focused != nullptr) {
        // Closed without a choice: the focus never left, so nothing says where it is.
        QAccessibleEvent back(focusWidget(), QAccessible::Focus);
        QAccessible::updateAccessibility(&back);
    }
}

QString MainWindow::refusal(int code, bool enterContinues) const
{
    if (code < '1' || code > '9')
        return {};
    if (Label1->isVisible())
        return toQString(gameOverText(enterContinues));
    const int index = code - '1';
    if (!cell(index)->isVisible() || cell(index)->isEnabled())
        return {};
    return toQString(takenCellText(static_cast<Integer>(index), cellCaption(static_cast<Integer>(index))));
}

void MainWindow::readBoard()
{
    if (!cell(0)->isVisible())
        return;
    std::array<std::u16string, kCellCount> captions;
    for (Integer i = 0; i < kCellCount; ++i)
        captions.at(static_cast<std::size_t>(i)) = cellCaption(i);
    narrator.say(toQString(boardText(captions)));
}

void MainWindow::setTabOrder()
{
    QWidget* previous = Command1[0];
    const auto chain = [&previous](QWidget* next) {
        QWidget::setTabOrder(previous, next);
        previous = next;
    };
    for (std::size_t i = 1; i < Command1.size(); ++i)
        chain(Command1[i]);
    chain(List1);
    chain(List2);
    chain(Command2);
    chain(Command3);
}

MainWindow::TypedControl MainWindow::typedControl(Control which) const
{
    switch (which) {
    case Control::Command2:
        return Command2;
    case Control::Command3:
        return Command3;
    case Control::Label1:
        return Label1;
    case Control::Label2:
        return Label2;
    case Control::Label3:
        return Label3;
    case Control::Label4:
        return Label4;
    case Control::Frame1:
        return Frame1;
    case Control::Frame2:
        return Frame2;
    case Control::List1:
        return List1;
    case Control::List2:
        return List2;
    }
    Q_UNREACHABLE();
}

QWidget* MainWindow::control(Control which) const
{
    return std::visit([](auto* widget) -> QWidget* { return widget; }, typedControl(which));
}

QListWidget* MainWindow::list(ScoreList which) const
{
    return which == ScoreList::List1 ? List1 : List2;
}

std::u16string MainWindow::cellCaption(Integer index) const
{
    return toU16(cell(index)->text());
}

void MainWindow::setCellCaption(Integer index, std::u16string_view caption)
{
    const QString text = toQString(caption);
    cell(index)->setText(text);
    cell(index)->setAccessibleName(cellAccessibleName(index, text));
}

bool MainWindow::cellEnabled(Integer index) const
{
    return cell(index)->isEnabled();
}

void MainWindow::setCellEnabled(Integer index, bool enabled)
{
    cell(index)->setEnabled(enabled);
}

void MainWindow::setCellVisible(Integer index, bool visible)
{
    cell(index)->setVisible(visible);
}

void MainWindow::setCellBackColor(Integer index, Color color)
{
    cell(index)->setFaceColor(toQColor(color));
}

void MainWindow::setCellFocus(Integer index)
{
    GraphicalButton* target = cell(index);
    // Only a shown, enabled cell can hold the focus; otherwise nothing is asked.
    if (target->isVisibleTo(this) && target->isEnabled())
        target->setFocus(Qt::OtherFocusReason);
}

std::u16string MainWindow::caption(Control which) const
{
    return std::visit(Overloaded{
                          [](const QPushButton* button) { return toU16(button->text()); },
                          [](const CaptionLabel* label) { return toU16(label->caption()); },
                          [](const CaptionFrame* frame) { return toU16(frame->caption()); },
                          // A list box has no caption.
                          [](const QListWidget* /*list*/) { return std::u16string{}; },
                      },
                      typedControl(which));
}

void MainWindow::setCaption(Control which, std::u16string_view text)
{
    const QString caption = toQString(text);
    std::visit(Overloaded{
                   [&caption](QPushButton* button) {
                       button->setText(caption);
                       // The default name would drop every "&" as a mnemonic marker.
                       button->setAccessibleName(shownSlice(caption, CaptionAnchor::Start));
                   },
                   [&caption](CaptionLabel* label) { label->setCaption(caption); },
                   [this, &caption](CaptionFrame* frame) {
                       frame->setCaption(caption);
                       (frame == Frame1 ? List1 : List2)->setAccessibleName(scoreListName(caption));
                   },
                   [](QListWidget* /*list*/) {},
               },
               typedControl(which));
}

void MainWindow::setVisible(Control which, bool visible)
{
    control(which)->setVisible(visible);
}

void MainWindow::clearList(ScoreList which)
{
    list(which)->clear();
}

void MainWindow::addItem(ScoreList which, std::u16string_view item)
{
    list(which)->addItem(toQString(item));
}

std::u16string MainWindow::listItem(ScoreList which, Integer index) const
{
    const QListWidgetItem* entry = list(which)->item(index);
    return entry ? toU16(entry->text()) : std::u16string{};
}

std::u16string MainWindow::inputBox(std::u16string_view prompt, std::u16string_view title,
                                    std::u16string_view defaultText)
{
    if (ending)
        return {};
    return toU16(
        narrator.ask([&] { return runInputBox(this, toQString(prompt), toQString(title), toQString(defaultText)); }));
}

Integer MainWindow::msgBox(std::u16string_view text, Integer /*style*/, std::u16string_view title)
{
    if (ending)
        return kAnswerNo;
    // The rules ask one kind of question only (kYesNoExclamation), about the
    // players the frames name.
    return narrator.ask(
        [&] { return askYesNo(this, toQString(text), {Frame1->caption(), Frame2->caption()}, toQString(title)); });
}

void MainWindow::popupMenu()
{
    if (!ending)
        mnumenu->exec(QCursor::pos());
}

void MainWindow::endProgram()
{
    // Prompts and questions asked by steps still on the stack are skipped.
    ending = true;
    QCoreApplication::exit(0);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event)
{
    // Releases over a shown control reach here when the control ignores them;
    // only the bare window surface opens the menu.
    if (childAt(event->position().toPoint()) == nullptr)
        rules.Form_MouseUp(buttonNumber(event->button()));
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    rules.Form_Unload();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        // Set as the focus arrives, so that only the focused cell's changes;
        // the window coming back after a prompt is no move of the player's.
        if (auto* target = qobject_cast<GraphicalButton*>(watched)) {
            const bool moved = static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason;
            target->setAccessibleDescription(moved ? narrator.cellDescription() : QString());
        }
    }
    if ((watched == List1 || watched == List2) && event->type() == QEvent::KeyPress) {
        auto* list = static_cast<QListWidget*>(watched);
        const int key = static_cast<QKeyEvent*>(event)->key();
        const int edge = key == Qt::Key_Up ? 0 : (key == Qt::Key_Down ? list->count() - 1 : -1);
        // At the first or last entry the list does not move and a screen
        // reader says nothing: the entry is read again, the only one too.
        if (edge >= 0 && list->currentRow() == edge)
            narrator.say(list->item(edge)->data(Qt::AccessibleTextRole).toString());
        const auto code = keyAsciiOf(*static_cast<QKeyEvent*>(event));
        const QString refused = code ? refusal(*code, watched == List1) : QString();
        if (code && watched == List1)
            handle([this, code] { rules.List1_KeyPress(static_cast<Integer>(*code)); });
        if (!refused.isEmpty()) {
            narrator.say(refused);
            // Not a search of the list, which would move to an entry and read it over the answer.
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tavrin
