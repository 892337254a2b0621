#include "dialogs.h"

#include "shownslice.h"

#include <QApplication>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include <array>
#include <limits>
#include <utility>
#include <vector>

namespace tavrin {

QString runInputBox(QWidget* parent, const QString& prompt, const QString& title, const QString& defaultText)
{
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(defaultText);
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

QString messageDisplayText(const QString& text, const QFontMetrics& metrics, int maxLineWidth)
{
    QString unified = text;
    unified.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    unified.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = unified.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        // Very long lines are cut short so the box and its buttons stay on screen.
        if (line.size() > kShownCaptionLength)
            line = shownSlice(line, CaptionAnchor::Start);
        if (metrics.horizontalAdvance(line) > maxLineWidth)
            line = metrics.elidedText(line, Qt::ElideRight, maxLineWidth);
    }
    return lines.join(QLatin1Char('\n'));
}

namespace {

constexpr int kMaxMessageLineWidth = 640;

enum Answer { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct ButtonSet {
    std::vector<std::pair<QMessageBox::StandardButton, Answer>> buttons;
    Answer onClose;
};

ButtonSet buttonSet(int style)
{
    switch (style & 0x7) {
    case 1:
        return {{{QMessageBox::Ok, Ok}, {QMessageBox::Cancel, Cancel}}, Cancel};
    case 2:
        return {{{QMessageBox::Abort, Abort}, {QMessageBox::Retry, Retry}, {QMessageBox::Ignore, Ignore}}, Abort};
    case 3:
        return {{{QMessageBox::Yes, Yes}, {QMessageBox::No, No}, {QMessageBox::Cancel, Cancel}}, Cancel};
    case 4:
        return {{{QMessageBox::Yes, Yes}, {QMessageBox::No, No}}, No};
    case 5:
        return {{{QMessageBox::Retry, Retry}, {QMessageBox::Cancel, Cancel}}, Cancel};
    default:
        return {{{QMessageBox::Ok, Ok}}, Ok};
    }
}

QMessageBox::Icon icon(int style)
{
    switch (style & 0x70) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

}  // namespace

int runMsgBox(QWidget* parent, const QString& text, int style, const QString& title)
{
    const ButtonSet set = buttonSet(style);
    QMessageBox box(icon(style), title, QString(), QMessageBox::NoButton, parent);
    box.setText(messageDisplayText(text, box.fontMetrics(), kMaxMessageLineWidth));
    box.setTextFormat(Qt::PlainText);
    std::vector<QAbstractButton*> added;
    QAbstractButton* closeButton = nullptr;
    for (const auto& [button, answer] : set.buttons) {
        added.push_back(box.addButton(button));
        if (answer == set.onClose)
            closeButton = added.back();
    }
    const auto defaultIndex = static_cast<std::size_t>((style >> 8) & 0x3);
    if (defaultIndex < added.size())
        box.setDefaultButton(qobject_cast<QPushButton*>(added[defaultIndex]));
    box.setEscapeButton(closeButton);
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    for (std::size_t i = 0; i < added.size(); ++i) {
        if (added[i] == clicked)
            return set.buttons[i].second;
    }
    return set.onClose;
}

}  // namespace tavrin
