// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmsplash.h"

#include "announcer.h"
#include "clickframe.h"
#include "designfonts.h"
#include "narration.h"
#include "qtconversions.h"
#include "splashborder.h"
#include "splashhints.h"
#include "splashwaylandhints.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace tavrin {

namespace {

enum class Sizing { Fixed, ToText };

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& geometry, const QFont& font,
                  Qt::Alignment alignment, Sizing sizing, const QString& text)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setText(text);
    if (sizing == Sizing::ToText)
        label->adjustSize();
    return label;
}

}  // namespace

frmSplash::frmSplash(Form1Factory createForm1)
    : QWidget(nullptr, splashWindowFlags()), form1Factory(std::move(createForm1))
{
    setObjectName(QStringLiteral("frmSplash"));
    const QSize size = kClientSize + QSize(2 * ownBorder, 2 * ownBorder);
    setFixedSize(size);
    const QRect screenArea = screen()->geometry();
    // The client area is placed, so a border of even width keeps it centred.
    setGeometry(QRect(QPoint(screenArea.x() + (screenArea.width() - size.width()) / 2,
                             screenArea.y() + (screenArea.height() - size.height()) / 2),
                      size));
    createControls();
    requestSplashDecorations(*this);
    requestSplashWaylandHints(*this);

    Timer1 = new QTimer(Frame1);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &frmSplash::onTimer);
    Timer1->start();

    // The splash takes no focus, so a screen reader would read none of it;
    // its words are announced once it shows.
    auto* announcer = new Announcer(this);
    QTimer::singleShot(0, announcer, [this, announcer] {
        std::vector<std::u16string> lines;
        for (const QLabel* label : Frame1->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
            lines.push_back(toU16(label->text()));
        announcer->announce(toQString(spokenLines(lines)));
    });
}

void frmSplash::createControls()
{
    Frame1 = new ClickFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twipsRect(120, 0, 7080, 4050).translated(ownBorder, ownBorder));
    connect(Frame1, &ClickFrame::clicked, this, [this] { code.Frame1_Click(); });

    // Created back to front: lblProductName lies in front of lblCompanyProduct.
    makeLabel(Frame1, "lblLicenseTo", twipsRect(120, 240, 6855, 495),
              designFont(QStringLiteral("AtlandSketches BB"), 24, kWeightPlain, true), Qt::AlignHCenter,
              Sizing::Fixed, QStringLiteral("Licensed to: Friends & Rivals"));

    auto* imgLogo = new QLabel(Frame1);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setGeometry(twipsRect(120, 915, 1935, 2145));
    imgLogo->setScaledContents(true);
    imgLogo->setPixmap(QPixmap(QStringLiteral(":/tavrin/logo.jpg")));

    makeLabel(Frame1, "lblCompanyProduct", twipsRect(2925, 945, 3450, 585),
              designFont(QStringLiteral("Blade 2"), 36, kWeightPlain, true), Qt::AlignHCenter, Sizing::ToText,
              QStringLiteral("O versus X"));
    makeLabel(Frame1, "lblProductName", twipsRect(2130, 1440, 4680, 945),
              designFont(QStringLiteral("Blackadder ITC"), 36, kWeightBold, true), Qt::AlignHCenter,
              Sizing::ToText, QStringLiteral("Tavrin"));
    makeLabel(Frame1, "lblPlatform", twipsRect(3675, 2340, 3180, 360),
              designFont(QStringLiteral("Baskerville Old Face"), 15.75, kWeightBold), Qt::AlignRight,
              Sizing::ToText, QStringLiteral("for the Linux desktop"));
    makeLabel(Frame1, "lblVersion", twipsRect(5115, 2700, 1740, 240),
              designFont(QStringLiteral("Arial"), 12, kWeightBold), Qt::AlignRight, Sizing::ToText,
              QStringLiteral("Version: 6.0"));
    const QFont smallPrint = designFont(QStringLiteral("Bauhaus 93"), 9.75, kWeightPlain);
    makeLabel(Frame1, "lblCopyright", twipsRect(4080, 3060, 2895, 255), smallPrint, Qt::AlignLeft,
              Sizing::Fixed, QStringLiteral("© The Tavrin developers"));
    makeLabel(Frame1, "lblCompany", twipsRect(4080, 3270, 2895, 255), smallPrint, Qt::AlignLeft,
              Sizing::Fixed, QStringLiteral("Two players, one mouse"));
    makeLabel(Frame1, "lblWarning", twipsRect(120, 3480, 6855, 435),
              designFont(QStringLiteral("Apocalypse Now"), 24, kWeightBold), Qt::AlignHCenter, Sizing::Fixed,
              QStringLiteral("Beware: three in a row wins!"));
}

void frmSplash::onTimer()
{
    code.Timer1_Timer();
    // Later ticks would change nothing; stopping spares the idle program
    // a wake-up every second.
    if (code.ticksDone())
        Timer1->stop();
}

void frmSplash::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::Shadow), ownBorder, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    // A pen straddles the outline it follows: inset by half its width.
    const qreal inset = ownBorder / 2.0;
    painter.drawRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
}

void frmSplash::closeEvent(QCloseEvent* event)
{
    // The splash has no close button: a close request from the window
    // manager, which can only reach it while shown, is refused. Once hidden
    // it must not stand in the way of the program's end, which asks every
    // window to close.
    event->setAccepted(!isVisible());
}

bool frmSplash::form1Exists() const
{
    return Form1 != nullptr;
}

void frmSplash::createForm1()
{
    Form1 = &form1Factory();
}

void frmSplash::showForm1()
{
    Form1->show();
}

void frmSplash::hideSplash()
{
    hide();
    // The splash is never shown again: its window and the half MiB of its
    // window image go, the form with its controls and timer stays.
    destroy();
}

}  // namespace tavrin
