#include "dialogs.h"

#include "shownslice.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <limits>

namespace tavrin {

namespace {

// Title and close button only: minimising a modal prompt would leave the
// main window blocked with nothing on screen to answer, and maximising it
// serves nothing.
constexpr Qt::WindowFlags kDialogFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;

// Some title bars offer minimising whatever the flags: Qt's own on Wayland,
// where a minimised window may have no way back, and the main window would
// wait for an answer nobody can give. Such a dialog is shown afresh at once.
// An X11 window manager gives a way back (openbox minimises and restores
// the main window with it), so there it is left alone.
class ComesBackWhenMinimised : public QObject {
public:
    explicit ComesBackWhenMinimised(QWidget& dialog) : QObject(&dialog)
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            dialog.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // The window is there once the dialog shows, and says when it is
        // minimised; the dialog is not told.
        auto* dialog = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && !watching) {
            watching = true;
            QWindow* window = dialog->windowHandle();
            connect(window, &QWindow::windowStateChanged, this, [window](Qt::WindowState state) {
                if (state != Qt::WindowMinimized)
                    return;
                QTimer::singleShot(0, window, [window] {
                    // Only a new surface is sure to be shown: a compositor
                    // need not restore a minimised one on request.
                    window->destroy();
                    window->setWindowState(Qt::WindowNoState);
                    window->show();
                });
            });
        }
        return false;
    }

private:
    bool watching = false;
};

}  // namespace

QString runInputBox(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText)
{
    QInputDialog dialog(parent, kDialogFlags);
    new ComesBackWhenMinimised(dialog);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(defaultText);
    // One size, as the question has: a window manager then offers no
    // maximise button either. The dialog makes its layout when first
    // measured, and sets the layout's constraint then.
    dialog.sizeHint();
    if (QLayout* layout = dialog.layout())
        layout->setSizeConstraint(QLayout::SetFixedSize);
    // Every repaint of the field lays out its whole text: with a very long
    // name in it, the blinking cursor alone would keep the program busy.
    const int flashTime = QApplication::cursorFlashTime();
    if (auto* edit = dialog.findChild<QLineEdit*>()) {
        // A name is taken whole, however long it is.
        edit->setMaxLength(std::numeric_limits<int>::max());
        QObject::connect(edit, &QLineEdit::textChanged, &dialog, [flashTime](const QString& text) {
            QApplication::setCursorFlashTime(text.size() > kShownCaptionLength ? 0 : flashTime);
        });
        edit->setText(defaultText);
        edit->selectAll();
    }
    const int result = dialog.exec();
    QApplication::setCursorFlashTime(flashTime);
    if (result != QDialog::Accepted)
        return {};
    return dialog.textValue();
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

Integer askYesNo(QWidget* parent, const QString& text, const QStringList& names, const QString& title)
{
    QMessageBox box(QMessageBox::Warning, title, QString(), QMessageBox::Yes | QMessageBox::No, parent, kDialogFlags);
    new ComesBackWhenMinimised(box);
    box.setTextFormat(Qt::PlainText);
    // Lines keep their order and run left to right whatever the names' script.
    box.setLayoutDirection(Qt::LeftToRight);
    const QString shown = messageDisplayText(text, names, box.fontMetrics(), kMaxMessageLineWidth);
    box.setText(shown);
    for (QLabel* label : box.findChildren<QLabel*>()) {
        if (label->text() == shown)
            label->setAccessibleName(withoutDirectionMarks(shown));
    }
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    // Escape and the close button count as No.
    return box.exec() == QMessageBox::Yes ? kAnswerYes : kAnswerNo;
}

}  // namespace tavrin
