// SPDX-License-Identifier: GPL-3.0-or-later
#include "basictypes.h"
#include "form1.h"

#include <QTest>

using namespace tavrin;

namespace {
QString q(const std::u16string& text)
{
    return QString::fromStdU16String(text);
}
}  // namespace

class TestBasicTypes : public QObject {
    Q_OBJECT

private slots:
    // The match totals read list entries through this; a wrong sign, a
    // blank not skipped or a wrapped overflow would miscount a match.
    void leadingNumberReadsTheLeadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("one") << "1" << 1;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("leading blank, trailing letters") << " 12abc" << 12;
        QTest::newRow("leading tab") << "\t7" << 7;
        QTest::newRow("negative") << "-3" << -3;
        QTest::newRow("plus sign") << "+5" << 5;
        QTest::newRow("letters only") << "abc" << 0;
        QTest::newRow("sign only") << "-" << 0;
        QTest::newRow("largest") << "32767" << 32767;
        QTest::newRow("one past largest saturates") << "32768" << 32767;
        QTest::newRow("huge saturates") << "99999999999999999999999999" << 32767;
        QTest::newRow("smallest") << "-32768" << -32768;
        QTest::newRow("huge negative saturates") << "-99999999999999999999999999" << -32768;
        QTest::newRow("leading zeros") << "0005" << 5;
    }
    void leadingNumberReadsTheLeadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(int{leadingNumber(text.toStdU16String())}, expected);
    }

    // Counters hold at the limits rather than wrap to -32768, and never
    // throw out of a handler.
    void addSaturatedHoldsAtTheLimits_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("increment");
        QTest::addColumn<int>("sum");
        QTest::newRow("4 + 1") << 4 << 1 << 5;
        QTest::newRow("0 + 0") << 0 << 0 << 0;
        QTest::newRow("32766 + 1") << 32766 << 1 << 32767;
        QTest::newRow("32767 + 1") << 32767 << 1 << 32767;
        QTest::newRow("32767 + 32767") << 32767 << 32767 << 32767;
        QTest::newRow("-32767 - 1") << -32767 << -1 << -32768;
        QTest::newRow("-32768 - 1") << -32768 << -1 << -32768;
        QTest::newRow("32767 - 1") << 32767 << -1 << 32766;
    }
    void addSaturatedHoldsAtTheLimits()
    {
        QFETCH(int, value);
        QFETCH(int, increment);
        QFETCH(int, sum);
        QCOMPARE(int{addSaturated(static_cast<Integer>(value), static_cast<Integer>(increment))}, sum);
    }

    // The match message puts one blank before a non-negative total.
    void numberWithSignHasASignPosition_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0") << 0 << " 0";
        QTest::newRow("3") << 3 << " 3";
        QTest::newRow("5") << 5 << " 5";
        QTest::newRow("largest") << 32767 << " 32767";
        QTest::newRow("-3") << -3 << "-3";
        QTest::newRow("smallest") << -32768 << "-32768";
    }
    void numberWithSignHasASignPosition()
    {
        QFETCH(int, value);
        QFETCH(QString, expected);
        QCOMPARE(q(numberWithSign(static_cast<Integer>(value))), expected);
    }

    // Score entries and cell captions carry no blank.
    void decimalTextHasNoBlank_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("0") << 0 << "0";
        QTest::newRow("1") << 1 << "1";
        QTest::newRow("-3") << -3 << "-3";
        QTest::newRow("smallest") << -32768 << "-32768";
    }
    void decimalTextHasNoBlank()
    {
        QFETCH(int, value);
        QFETCH(QString, expected);
        QCOMPARE(q(decimalText(static_cast<Integer>(value))), expected);
    }

    // An open cell shows its own digit, one more than its index.
    void openCellCaptionIsIndexPlusOne()
    {
        for (Integer i = 0; i < kCellCount; ++i)
            QCOMPARE(q(openCellCaption(i)), QString::number(i + 1));
    }
};

QTEST_GUILESS_MAIN(TestBasicTypes)
#include "tst_basictypes.moc"
