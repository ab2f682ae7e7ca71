// The progress line's mapping from window units to pixels and its
// redraw-only-on-change rule.
#include <QTest>

#include "app/progress_line.h"
#include "progress_line_test.h"

using sweepwav::ProgressLine;

void ProgressLineTest::lengthInPixels_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<float>("x2");
    QTest::addColumn<int>("pixels");
    // 4740 units span the widget; the line runs from 60 to X2.
    QTest::newRow("empty") << 474 << 60.0f << 0;
    QTest::newRow("full") << 474 << 4660.0f << 460;
    QTest::newRow("half") << 474 << 2360.0f << 230;
    QTest::newRow("wider widget") << 948 << 4660.0f << 920;
    QTest::newRow("fraction of a unit") << 474 << 2360.4f << 230;
    QTest::newRow("below the start") << 474 << 0.0f << 0;
}

void ProgressLineTest::lengthInPixels() {
    QFETCH(int, width);
    QFETCH(float, x2);
    QFETCH(int, pixels);
    ProgressLine line;
    line.resize(width, 6);
    line.setX2(x2, false);
    QCOMPARE(line.drawnLength(), qRound(pixels * line.devicePixelRatioF()));
}

void ProgressLineTest::repaintsOnlyWhenLengthChanges() {
    ProgressLine line;
    line.resize(474, 6);
    line.show();
    QVERIFY(QTest::qWaitForWindowExposed(&line));

    line.setX2(1000, true);
    QCOMPARE(line.immediatePaints(), 1);
    // 10 units are one pixel here: a move within the pixel draws nothing.
    line.setX2(1002, true);
    line.setX2(1000, true);
    QCOMPARE(line.immediatePaints(), 1);
    line.setX2(1020, true);
    QCOMPARE(line.immediatePaints(), 2);
    // Without redraw the paint is left to the event loop.
    line.setX2(4660, false);
    QCOMPARE(line.immediatePaints(), 2);
    QCOMPARE(line.x2(), 4660.0f);
}
