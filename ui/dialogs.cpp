// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs.h"

#include "shownslice.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace tavrin {

ProgramDialog::ProgramDialog(QWidget* parent, const QString& title) : QDialog(parent, kFlags)
{
    setWindowTitle(title);
    setModal(true);
}

int ProgramDialog::ask()
{
    setResult(Rejected);
    show();
    QEventLoop loop;
    connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::DialogExec);
    return result();
}

void ProgramDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // Some title bars offer minimising whatever the flags: Qt's own on
    // Wayland, where a minimised window may have no way back, and the main
    // window would wait for an answer nobody can give. An X11 window manager
    // gives a way back (openbox minimises and restores the main window with
    // it), so there it is left alone.
    if (event->type() == QEvent::WindowStateChange && isMinimized() &&
        QGuiApplication::platformName() != QLatin1String("xcb"))
        QMetaObject::invokeMethod(this, &ProgramDialog::comeBack, Qt::QueuedConnection);
}

void ProgramDialog::comeBack()
{
    // A compositor need not restore a minimised window on request.
    hide();
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
}

NameField::NameField(QWidget* parent) : QLineEdit(parent)
{
    // A name is taken whole, however long it is.
    setMaxLength(std::numeric_limits<int>::max());
    const auto changed = [this] { setUpdatesEnabled(true); };
    connect(this, &QLineEdit::textChanged, this, changed);
    connect(this, &QLineEdit::cursorPositionChanged, this, changed);
    connect(this, &QLineEdit::selectionChanged, this, changed);
}

bool NameField::event(QEvent* event)
{
    // Keys, the mouse, focus, palette and size reach the field itself and may
    // change what it shows; the cursor's blinking does not.
    const bool paint = event->type() == QEvent::Paint;
    if (!paint)
        setUpdatesEnabled(true);
    const bool handled = QLineEdit::event(event);
    if (paint && text().size() > kShownCaptionLength)
        setUpdatesEnabled(false);
    return handled;
}

NamePrompt::NamePrompt(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText)
    : ProgramDialog(parent, title), label(new QLabel(prompt, this)), field(new NameField(this)),
      buttons(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    label->setTextFormat(Qt::PlainText);
    label->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    label->setBuddy(field);
    field->setText(defaultText);
    field->setFocus();
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* column = new QVBoxLayout(this);
    // One size, as the question has: a window manager then offers no
    // maximise button either.
    column->setSizeConstraint(QLayout::SetFixedSize);
    column->addWidget(label);
    column->addWidget(field);
    column->addWidget(buttons);
}

bool NamePrompt::event(QEvent* event)
{
    // Selected once the prompt is active, when a key can replace it: a
    // screen reader then names the prompt before it reads the selection.
    if (event->type() == QEvent::WindowActivate && !selected) {
        selected = true;
        field->selectAll();
    }
    return ProgramDialog::event(event);
}

QString runInputBox(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText)
{
    NamePrompt dialog(parent, prompt, title, defaultText);
    return dialog.ask() == QDialog::Accepted ? dialog.field->text() : QString();
}

namespace {

constexpr int kMaxMessageLineWidth = 640;

// A stretch of a line: one of the names it was composed from, or the text
// around them.
struct Piece {
    QString text;
    bool isName;
};

// Splits `line` at every occurrence of the names, the longer name first where
// two start at the same place.
QList<Piece> splitAtNames(const QString& line, const QStringList& names)
{
    QList<Piece> pieces;
    qsizetype position = 0;
    while (position < line.size()) {
        qsizetype found = -1;
        qsizetype foundLength = 0;
        for (const QString& name : names) {
            const qsizetype at = name.isEmpty() ? -1 : line.indexOf(name, position);
            if (at >= 0 && (found < 0 || at < found || (at == found && name.size() > foundLength))) {
                found = at;
                foundLength = name.size();
            }
        }
        if (found < 0) {
            pieces.append({line.mid(position), false});
            break;
        }
        if (found > position)
            pieces.append({line.mid(position, found - position), false});
        pieces.append({line.mid(found, foundLength), true});
        position = found + foundLength;
    }
    return pieces;
}

// Shown between these, a name keeps to itself whatever direction its script
// writes in: the text around it keeps its order.
constexpr QChar kFirstStrongIsolate(0x2068);
constexpr QChar kPopDirectionalIsolate(0x2069);
// Opening each line, it runs the line left to right: the label takes a
// line's direction from its first strong character and does not skip
// isolated text to find it.
constexpr QChar kLeftToRightMark(0x200E);

// `name` as an isolated run. Isolates of its own are balanced, so that none
// closes the run early or leaves it open into the rest of the line.
QString isolated(const QString& name)
{
    QString run(kFirstStrongIsolate);
    run.reserve(name.size() + 2);
    qsizetype open = 0;
    for (const QChar c : name) {
        const QChar::Direction direction = c.direction();
        if (direction == QChar::DirLRI || direction == QChar::DirRLI || direction == QChar::DirFSI) {
            ++open;
        } else if (direction == QChar::DirPDI) {
            if (open == 0)
                continue;
            --open;
        }
        run += c;
    }
    return run + QString(open + 1, kPopDirectionalIsolate);
}

// Shortens the names inside pieces too wide for `maxWidth` together, each in
// its middle, so that the text around them (" VS ", " secured  3") stays
// whole.
void shortenNames(QList<Piece>& pieces, const QFontMetrics& metrics, int maxWidth)
{
    int fixedWidth = 0;
    QList<Piece*> namePieces;
    for (Piece& piece : pieces) {
        if (piece.isName) {
            piece.text = shownSlice(piece.text, CaptionAnchor::Ends);
            namePieces.append(&piece);
        } else {
            piece.text = shownSlice(piece.text, CaptionAnchor::Start);
            fixedWidth += metrics.horizontalAdvance(piece.text);
        }
    }
    // A pixel a seam for kerning across the pieces.
    int available = maxWidth - fixedWidth - static_cast<int>(pieces.size());
    // Narrow names keep their width; the wide ones share what is left.
    std::sort(namePieces.begin(), namePieces.end(), [&metrics](const Piece* a, const Piece* b) {
        return metrics.horizontalAdvance(a->text) < metrics.horizontalAdvance(b->text);
    });
    for (qsizetype i = 0; i < namePieces.size(); ++i) {
        Piece& piece = *namePieces[i];
        const auto share = static_cast<int>(std::max<qsizetype>(available, 0) / (namePieces.size() - i));
        piece.text = metrics.elidedText(piece.text, Qt::ElideMiddle, share);
        available -= metrics.horizontalAdvance(piece.text);
    }
}

// A line as shown: its names isolated, and shortened where the line is too
// wide.
QString fitLine(const QString& line, const QStringList& names, const QFontMetrics& metrics, int maxWidth)
{
    QList<Piece> pieces = splitAtNames(line, names);
    if (line.size() > kShownCaptionLength || metrics.horizontalAdvance(line) > maxWidth)
        shortenNames(pieces, metrics, maxWidth);
    QString fitted;
    for (const Piece& piece : pieces)
        fitted += piece.isName ? isolated(piece.text) : piece.text;
    // Without names to shorten, or with too little room for them, the line
    // is cut at its end rather than let the box grow off the screen.
    if (metrics.horizontalAdvance(fitted) > maxWidth)
        fitted = metrics.elidedText(fitted, Qt::ElideRight, maxWidth);
    return fitted;
}

// The shown text without the marks that set its directions, as a screen
// reader should read it.
QString withoutDirectionMarks(QString text)
{
    for (const QChar mark : {kFirstStrongIsolate, kPopDirectionalIsolate, kLeftToRightMark})
        text.remove(mark);
    return text;
}

}  // namespace

QString messageDisplayText(const QString& text, const QStringList& names, const QFontMetrics& metrics,
                           int maxLineWidth)
{
    QString unified = text;
    unified.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    unified.replace(QChar(kCarriageReturn), QLatin1Char('\n'));
    QStringList lines = unified.split(QLatin1Char('\n'));
    for (QString& line : lines)
        line = kLeftToRightMark + fitLine(line, names, metrics, maxLineWidth);
    return lines.join(QLatin1Char('\n'));
}

namespace {

// Screen readers announce Qt's message boxes as alerts; the question is one.
QAccessibleInterface* questionAccessible(const QString& className, QObject* object)
{
    if (className != QLatin1String(YesNoQuestion::staticMetaObject.className()))
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::AlertMessage);
}

}  // namespace

YesNoQuestion::YesNoQuestion(QWidget* parent, const QString& text, const QStringList& names, const QString& title)
    : ProgramDialog(parent, title), icon(new QLabel(this)), message(new QLabel(this)),
      buttons(new QDialogButtonBox(QDialogButtonBox::Yes | QDialogButtonBox::No, this)),
      yes(buttons->button(QDialogButtonBox::Yes)), no(buttons->button(QDialogButtonBox::No))
{
    static const bool accessible = (QAccessible::installFactory(questionAccessible), true);
    Q_UNUSED(accessible);
    // Laid out as Qt's message boxes are: the icon, a gap, the text, and the
    // buttons below.
    setFont(QApplication::font("QMessageBox"));
    // Lines keep their order and run left to right whatever the names' script.
    setLayoutDirection(Qt::LeftToRight);
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this)
                        .pixmap(QSize(iconSize, iconSize), devicePixelRatio()));
    icon->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    message->setTextFormat(Qt::PlainText);
    message->setTextInteractionFlags(
        Qt::TextInteractionFlags(style()->styleHint(QStyle::SH_MessageBox_TextInteractionFlags, nullptr, this)));
    message->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    const QString shown = messageDisplayText(text, names, fontMetrics(), kMaxMessageLineWidth);
    message->setText(shown);
    message->setAccessibleName(withoutDirectionMarks(shown));
    buttons->setCenterButtons(style()->styleHint(QStyle::SH_MessageBox_CenterButtons, nullptr, this));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* grid = new QGridLayout(this);
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addItem(new QSpacerItem(7, 1, QSizePolicy::Fixed, QSizePolicy::Fixed), 0, 1, 2, 1);
    grid->addWidget(message, 0, 2, 1, 1);
    grid->addWidget(buttons, 2, 0, 1, 3);
    yes->setDefault(true);
    yes->setFocus();
}

void YesNoQuestion::showEvent(QShowEvent* event)
{
    // Qt's message boxes take the text's own width up to half the screen (500
    // pixels at most), and wrap it at words beyond that.
    const int screenWidth = screen()->availableGeometry().width();
    const int hardLimit = screenWidth <= 1024 ? screenWidth : std::min(screenWidth - 480, 1000);
    const int softLimit = std::min(screenWidth / 2, 500);
    QLayout& grid = *layout();
    message->setWordWrap(false);
    grid.activate();
    int width = grid.totalMinimumSize().width();
    if (width > softLimit) {
        message->setWordWrap(true);
        grid.activate();
        width = std::min(std::max(softLimit, grid.totalMinimumSize().width()), hardLimit);
    }
    grid.activate();
    setFixedSize(width, grid.hasHeightForWidth() ? grid.totalHeightForWidth(width) : grid.totalMinimumSize().height());
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    ProgramDialog::showEvent(event);
}

void YesNoQuestion::keyPressEvent(QKeyEvent* event)
{
    // As in Qt's message boxes, a button's underlined letter alone presses it.
    if (!(event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier))) {
        for (QPushButton* button : {yes, no}) {
            if (!button->shortcut().isEmpty() && event->key() == button->shortcut()[0].key()) {
                button->animateClick();
                return;
            }
        }
    }
    ProgramDialog::keyPressEvent(event);
}

Integer askYesNo(QWidget* parent, const QString& text, const QStringList& names, const QString& title)
{
    YesNoQuestion question(parent, text, names, title);
    return question.ask() == QDialog::Accepted ? kAnswerYes : kAnswerNo;
}

}  // namespace tavrin
