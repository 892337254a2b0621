// SPDX-License-Identifier: GPL-3.0-or-later
// The main window at a scale factor of 2 on the offscreen platform, compared
// with pictures of the same screens that further runs of this program grab
// at a scale factor of 1: everything twice as large in device pixels, the
// layout unchanged, and text drawn at the finer resolution, not blown up;
// and at every scale Qt offers, nothing cut at a control's edge.
#include "graphicalbutton.h"
#include "mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QGroupBox>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QWindow>

#include <array>
#include <cmath>
#include <memory>

using namespace tavrin;

namespace {

constexpr int kScale = 2;
const QStringList kAllScales{"1", "1.25", "1.5", "1.75", "2", "2.5", "3"};

enum class Scene { Menu, Game, Result, Names };

// 61 characters, as long as a name a player typed.
constexpr std::u16string_view kLongName = u"Maximilian Alexander Friedrich Wilhelm von Hohenzollern-Sigma";

const char* sceneName(Scene scene)
{
    switch (scene) {
    case Scene::Menu:
        return "menu";
    case Scene::Game:
        return "game";
    case Scene::Result:
        return "result";
    case Scene::Names:
        return "names";
    }
    return "";
}

// The three screens of the window, set up through the window's operations
// alone so that both runs show exactly the same thing.
std::unique_ptr<MainWindow> windowShowing(Scene scene)
{
    auto window = std::make_unique<MainWindow>();
    if (scene != Scene::Menu) {
        window->setVisible(Control::Command2, false);
        window->setCaption(Control::Frame1, u"Alice");
        window->setCaption(Control::Frame2, u"Bob");
        window->setCaption(Control::Label4, u"Bob");
        for (Control c : {Control::Frame1, Control::Frame2, Control::List1, Control::List2, Control::Label3,
                          Control::Label4})
            window->setVisible(c, true);
        window->addItem(ScoreList::List1, u"1");
        window->addItem(ScoreList::List2, u"0");
        // A board in mid-game: taken cells hold marks and are disabled.
        const std::u16string_view board = u"OX3XO678O";
        for (Integer i = 0; i < kCellCount; ++i) {
            const std::u16string_view caption = board.substr(static_cast<std::size_t>(i), 1);
            window->setCellVisible(i, true);
            window->setCellCaption(i, caption);
            window->setCellEnabled(i, caption == openCellCaption(i));
        }
        window->setCellBackColor(4, kPureRed);
    }
    if (scene == Scene::Result) {
        window->setCaption(Control::Label2, u"Alice");
        for (Control c : {Control::Label1, Control::Label2, Control::Command3})
            window->setVisible(c, true);
        for (Integer i = 0; i < kCellCount; ++i)
            window->setCellEnabled(i, false);
        window->setCellBackColor(0, kPureRed);
        window->setCellBackColor(8, kPureRed);
    }
    if (scene == Scene::Names) {
        // A match's end with names too large for their controls: too long,
        // too wide, and with descenders.
        window->setCaption(Control::Frame1, kLongName);
        window->setCaption(Control::Frame2, u"Bartholomew");
        window->setCaption(Control::Label4, u"Guy Jappy");
        window->setCaption(Control::Label2, u"Bartholomew");
        window->setVisible(Control::Label1, true);
        window->setVisible(Control::Label2, true);
    }
    window->show();
    return window;
}

struct Named {
    QString name;
    QWidget* widget;
};

QList<Named> controlsOf(const MainWindow& window)
{
    QList<Named> all;
    for (int i = 0; i < kCellCount; ++i)
        all.append({QStringLiteral("cell%1").arg(i), window.cell(i)});
    const std::pair<Control, const char*> singles[] = {
        {Control::Command2, "Command2"}, {Control::Command3, "Command3"}, {Control::Label1, "Label1"},
        {Control::Label2, "Label2"},     {Control::Label3, "Label3"},     {Control::Label4, "Label4"},
        {Control::Frame1, "Frame1"},     {Control::Frame2, "Frame2"},     {Control::List1, "List1"},
        {Control::List2, "List2"}};
    for (const auto& [control, name] : singles)
        all.append({QLatin1String(name), window.control(control)});
    return all;
}

QString geometryLine(const Named& control, const QWidget* window)
{
    const QRect r(control.widget->mapTo(window, QPoint(0, 0)), control.widget->size());
    return QStringLiteral("%1 %2 %3 %4 %5").arg(control.name).arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// The second run: grabs every screen at the scale it was started with.
int saveReference(const QString& dir)
{
    QFile geometries(dir + QStringLiteral("/geometry.txt"));
    if (!geometries.open(QIODevice::WriteOnly))
        return 1;
    QTextStream out(&geometries);
    for (Scene scene : {Scene::Menu, Scene::Game, Scene::Result, Scene::Names}) {
        auto window = windowShowing(scene);
        if (!QTest::qWaitForWindowExposed(window.get()))
            return 1;
        // Names drawn smaller or shortened still read back as written.
        if (scene == Scene::Names && (window->caption(Control::Frame1) != kLongName ||
                                      window->caption(Control::Label4) != u"Guy Jappy"))
            return 1;
        if (!window->grab().save(dir + QLatin1Char('/') + QLatin1String(sceneName(scene)) + QStringLiteral(".png")))
            return 1;
        if (scene == Scene::Result) {
            for (const Named& control : controlsOf(*window))
                out << geometryLine(control, window.get()) << '\n';
        }
    }
    return 0;
}

bool isInk(QRgb pixel)
{
    return qGray(pixel) < 128;
}

// Pixels of `image`, grabbed at `scale`, that meet `test` among the device
// pixels covering the logical rectangle `r`.
int countIn(const QImage& image, const QRectF& r, qreal scale, bool (*test)(QRgb))
{
    int count = 0;
    for (auto y = int(std::floor(r.top() * scale)); y < std::ceil(r.bottom() * scale); ++y) {
        for (auto x = int(std::floor(r.left() * scale)); x < std::ceil(r.right() * scale); ++x)
            count += test(image.pixel(x, y)) ? 1 : 0;
    }
    return count;
}

// Smallest rectangle around the dark (text) pixels of `area`; empty when none.
QRect inkBox(const QImage& image, const QRect& area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (isInk(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

QRect scaled(const QRect& r)
{
    return {r.x() * kScale, r.y() * kScale, r.width() * kScale, r.height() * kScale};
}

QString describe(const QRect& r)
{
    return QStringLiteral("(%1,%2 %3x%4)").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

}  // namespace

class HighDpiTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir referenceDir;
    QHash<QString, QRect> referenceGeometry;

    QImage reference(Scene scene, const QString& scale = QStringLiteral("1")) const
    {
        return QImage(referenceDir.filePath(scale + QLatin1Char('/') + QLatin1String(sceneName(scene)) +
                                            QStringLiteral(".png")))
            .convertToFormat(QImage::Format_RGB32);
    }

    static QImage grabbed(MainWindow& window) { return window.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    // Where text is drawn, in the window's logical pixels: the inside of a
    // control, or the title strip of a frame.
    static QRect textArea(MainWindow& window, const QString& control)
    {
        for (const Named& c : controlsOf(window)) {
            if (c.name != control)
                continue;
            QRect r(c.widget->mapTo(&window, QPoint(0, 0)), c.widget->size());
            if (auto* frame = qobject_cast<QGroupBox*>(c.widget)) {
                QStyleOptionGroupBox option;
                option.initFrom(frame);
                option.text = frame->title();
                option.subControls = QStyle::SC_GroupBoxLabel;
                const QRect label =
                    frame->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
                return label.translated(r.topLeft());
            }
            return r.adjusted(3, 3, -3, -3);
        }
        return {};
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(qgetenv("QT_SCALE_FACTOR"), QByteArray("2"));
        QVERIFY(referenceDir.isValid());
        for (const QString& scale : kAllScales) {
            QVERIFY(QDir(referenceDir.path()).mkdir(scale));
            QProcess run;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("QT_SCALE_FACTOR"), scale);
            run.setProcessEnvironment(env);
            run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            run.start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("--reference"), referenceDir.filePath(scale)});
            QVERIFY(run.waitForFinished(60000));
            QCOMPARE(run.exitStatus(), QProcess::NormalExit);
            QCOMPARE(run.exitCode(), 0);
        }
        QFile geometries(referenceDir.filePath(QStringLiteral("1/geometry.txt")));
        QVERIFY(geometries.open(QIODevice::ReadOnly));
        for (const QByteArray& line : geometries.readAll().split('\n')) {
            const QList<QByteArray> f = line.split(' ');
            if (f.size() == 5)
                referenceGeometry.insert(QString::fromLatin1(f[0]),
                                         QRect(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt()));
        }
        QCOMPARE(referenceGeometry.size(), kCellCount + 10);
        QCOMPARE(reference(Scene::Menu).size(), QSize(453, 363));
    }

    void windowIsTwiceItsDesignedSizeInDevicePixels()
    {
        // Catches a window sized in device pixels, which would come out at
        // half its designed size on a doubled screen.
        auto window = windowShowing(Scene::Menu);
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCOMPARE(window->devicePixelRatio(), qreal(kScale));
        QCOMPARE(window->windowHandle()->devicePixelRatio(), qreal(kScale));
        QCOMPARE(window->geometry(), MainWindow::kDesignedGeometry);
        const QPixmap picture = window->grab();
        QCOMPARE(picture.devicePixelRatio(), qreal(kScale));
        QCOMPARE(picture.size(), QSize(906, 726));
    }

    void everyControlKeepsItsPlaceAtTwiceTheSize()
    {
        // Catches controls placed or sized by hand in device pixels (half
        // size) or scaled twice over (four times).
        auto window = windowShowing(Scene::Result);
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        for (const Named& control : controlsOf(*window)) {
            const QStringList f = geometryLine(control, window.get()).split(QLatin1Char(' '));
            const QRect here(f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt());
            QVERIFY2(here == referenceGeometry.value(control.name),
                     qPrintable(control.name + QStringLiteral(": ") + describe(here)));
            const QPixmap picture = control.widget->grab();
            QCOMPARE(picture.devicePixelRatio(), qreal(kScale));
            QCOMPARE(picture.size(), control.widget->size() * kScale);
        }
    }

    void paintedCellCoversTwiceTheLengthBothWays()
    {
        // Catches a face or bevel drawn in device pixels: the red area would
        // keep its one-scale size or lose its proportions.
        auto window = windowShowing(Scene::Game);
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const QImage small = reference(Scene::Game);
        const QImage large = grabbed(*window);
        QCOMPARE(large.size(), small.size() * kScale);
        const auto redArea = [](const QImage& image, QRect* box) {
            int count = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    if (image.pixel(x, y) == qRgb(255, 0, 0)) {
                        ++count;
                        *box |= QRect(x, y, 1, 1);
                    }
                }
            }
            return count;
        };
        QRect smallBox, largeBox;
        const int smallCount = redArea(small, &smallBox);
        const int largeCount = redArea(large, &largeBox);
        QVERIFY(smallCount > 30 * 30);
        QVERIFY(window->cell(4)->geometry().contains(smallBox));
        QCOMPARE(largeBox, scaled(smallBox));
        // The cell's mark covers a little of the face, and its smoothed
        // outline differs between the scales.
        const int expected = smallCount * kScale * kScale;
        QVERIFY2(qAbs(largeCount - expected) * 50 <= expected,
                 qPrintable(QStringLiteral("%1 red pixels, %2 expected").arg(largeCount).arg(expected)));
    }

    void fontsAreTwiceAsLargeInDevicePixels_data()
    {
        QTest::addColumn<int>("scene");
        QTest::addColumn<QString>("control");
        QTest::addColumn<qreal>("points");
        QTest::newRow("Play Now") << int(Scene::Menu) << "Command2" << 48.0;
        QTest::newRow("Continue") << int(Scene::Result) << "Command3" << 15.75;
        QTest::newRow("WINNER") << int(Scene::Result) << "Label1" << 18.0;
        QTest::newRow("winner's name") << int(Scene::Result) << "Label2" << 18.0;
        QTest::newRow("Current Player") << int(Scene::Game) << "Label3" << 14.25;
        QTest::newRow("player to move") << int(Scene::Game) << "Label4" << 21.75;
        QTest::newRow("first player's frame") << int(Scene::Game) << "Frame1" << 15.75;
        QTest::newRow("second player's frame") << int(Scene::Game) << "Frame2" << 15.75;
        QTest::newRow("first score list") << int(Scene::Game) << "List1" << 14.25;
        QTest::newRow("open cell") << int(Scene::Game) << "cell2" << 15.75;
        QTest::newRow("taken cell") << int(Scene::Game) << "cell1" << 15.75;
    }

    void fontsAreTwiceAsLargeInDevicePixels()
    {
        // Catches fonts sized in device pixels, or against a resolution
        // that follows the scale factor: text would keep its one-scale size
        // while its control doubles.
        QFETCH(int, scene);
        QFETCH(QString, control);
        QFETCH(qreal, points);
        auto window = windowShowing(static_cast<Scene>(scene));
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QWidget* widget = nullptr;
        for (const Named& c : controlsOf(*window)) {
            if (c.name == control)
                widget = c.widget;
        }
        QVERIFY(widget);
        // The same logical size as at the designed 96 dots per inch; the
        // device pixel ratio doubles it on the screen.
        QCOMPARE(widget->logicalDpiY(), 96);
        QCOMPARE(QFontInfo(widget->font()).pixelSize(), qRound(points * 96 / 72));

        const QRect area = textArea(*window, control);
        QVERIFY(!area.isEmpty());
        const QRect small = inkBox(reference(static_cast<Scene>(scene)), area);
        const QRect large = inkBox(grabbed(*window), scaled(area));
        QVERIFY2(small.height() >= 8, qPrintable(describe(small)));
        // Glyph outlines are rounded to whole pixels at either scale.
        const QRect expected = scaled(small);
        const int slack = 3;
        const QString seen = describe(large) + QStringLiteral(" against ") + describe(expected);
        QVERIFY2(qAbs(large.left() - expected.left()) <= slack, qPrintable(seen));
        QVERIFY2(qAbs(large.top() - expected.top()) <= slack, qPrintable(seen));
        QVERIFY2(qAbs(large.right() - expected.right()) <= slack, qPrintable(seen));
        QVERIFY2(qAbs(large.bottom() - expected.bottom()) <= slack, qPrintable(seen));
    }

    void textIsDrawnAtDeviceResolution_data() { fontsAreTwiceAsLargeInDevicePixels_data(); }

    void textIsDrawnAtDeviceResolution()
    {
        // Catches a window painted at one scale and blown up: every 2x2
        // block of device pixels would then hold one colour, and the edges
        // of letters would be as coarse as at the smaller scale.
        QFETCH(int, scene);
        QFETCH(QString, control);
        auto window = windowShowing(static_cast<Scene>(scene));
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        const QRect area = textArea(*window, control);
        const QImage small = reference(static_cast<Scene>(scene));
        const QImage large = grabbed(*window);
        const QImage blownUp = small.scaled(small.size() * kScale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        // Edges of letters in the smaller picture: ink beside no ink.
        int edges = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (!isInk(small.pixel(x, y)))
                    continue;
                const bool inside = isInk(small.pixel(x - 1, y)) && isInk(small.pixel(x + 1, y)) &&
                                    isInk(small.pixel(x, y - 1)) && isInk(small.pixel(x, y + 1));
                edges += inside ? 0 : 1;
            }
        }
        // Blocks of the larger picture that hold more than one colour: none
        // at all in a blown-up picture, about one per edge pixel when the
        // letters are drawn at the finer resolution.
        const QRect blocks = scaled(area);
        int mixed = 0;
        int differing = 0;
        for (int y = blocks.top(); y < blocks.bottom(); y += kScale) {
            for (int x = blocks.left(); x < blocks.right(); x += kScale) {
                const QRgb first = large.pixel(x, y);
                bool uniform = true;
                for (int dy = 0; dy < kScale; ++dy) {
                    for (int dx = 0; dx < kScale; ++dx) {
                        uniform = uniform && large.pixel(x + dx, y + dy) == first;
                        differing += large.pixel(x + dx, y + dy) != blownUp.pixel(x + dx, y + dy) ? 1 : 0;
                    }
                }
                mixed += uniform ? 0 : 1;
            }
        }
        const QString seen = QStringLiteral("%1 mixed blocks, %2 edge pixels, %3 pixels unlike the blown-up picture")
                                 .arg(mixed)
                                 .arg(edges)
                                 .arg(differing);
        QVERIFY2(edges >= 10, qPrintable(seen));
        QVERIFY2(mixed * 2 >= edges, qPrintable(seen));
        QVERIFY2(differing >= edges, qPrintable(seen));
    }

    void nothingIsCutAtAnyScale_data()
    {
        QTest::addColumn<QString>("scale");
        for (const QString& scale : kAllScales)
            QTest::newRow(qPrintable(scale)) << scale;
    }

    void nothingIsCutAtAnyScale()
    {
        // Catches ink drawn to a label's edge and clipped there (a name wider
        // than its label, the foot of WINNER's E at 1.25 and 2) or past a
        // frame caption's end, and a list's frame edge lost under its
        // viewport (the bottom edges at 1.25 and 1.5).
        QFETCH(QString, scale);
        const qreal s = scale.toDouble();
        const QImage image = reference(Scene::Names, scale);
        QCOMPARE(image.size(), (QSizeF(453, 363) * s).toSize());
        const auto edges = [](const QRect& r) {
            return std::array<QRectF, 4>{QRectF(r.x(), r.y(), r.width(), 1), QRectF(r.x(), r.bottom(), r.width(), 1),
                                         QRectF(r.x(), r.y(), 1, r.height()), QRectF(r.right(), r.y(), 1, r.height())};
        };
        for (const char* label : {"Label1", "Label2", "Label4"}) {
            for (const QRectF& edge : edges(referenceGeometry.value(QLatin1String(label))))
                QVERIFY2(countIn(image, edge, s, isInk) == 0, label);
        }
        // A frame's caption begins at its left edge and may reach its top.
        for (const char* frame : {"Frame1", "Frame2"})
            QVERIFY2(countIn(image, edges(referenceGeometry.value(QLatin1String(frame)))[3], s, isInk) == 0, frame);
        for (const char* list : {"List1", "List2"}) {
            for (const QRectF& edge : edges(referenceGeometry.value(QLatin1String(list)))) {
                const int drawn = countIn(image, edge, s, [](QRgb pixel) { return qGray(pixel) < 220; });
                QVERIFY2(drawn >= (std::max(edge.width(), edge.height()) - 2) * s, list);
            }
        }
    }
};

int main(int argc, char* argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--reference") == 0) {
        QApplication app(argc, argv);
        return saveReference(QString::fromLocal8Bit(argv[2]));
    }
    // The scale must be known before the application connects to its screen.
    qputenv("QT_SCALE_FACTOR", QByteArray::number(kScale));
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    qunsetenv("QT_FONT_DPI");
    QApplication app(argc, argv);
    HighDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_highdpi.moc"
