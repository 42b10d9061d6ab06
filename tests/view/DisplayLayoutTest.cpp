#include "view/DisplayLayout.h"

#include <QTest>

#include <cmath>

using view::Box;
using view::SizeF;

Q_DECLARE_METATYPE(view::SizeF)
Q_DECLARE_METATYPE(view::Box)

namespace {

// Within a thousandth of a pixel: the expected figures are worked out by hand.
void compareBox(const Box &actual, const Box &expected)
{
    const float got[] = {actual.left, actual.top, actual.width, actual.height};
    const float want[] = {expected.left, expected.top, expected.width, expected.height};
    for (int i = 0; i < 4; ++i)
        QVERIFY2(std::abs(got[i] - want[i]) <= 1e-3f,
                 qPrintable(QStringLiteral("left, top, width, height: %1, %2, %3, %4")
                                .arg(got[0]).arg(got[1]).arg(got[2]).arg(got[3])));
}

const SizeF Normal{453, 389};
const SizeF Screen{1024, 768};
const SizeF ScreenTwips{15360, 11520};

} // namespace

class DisplayLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void autoFit_data();
    void autoFit();
    void actualSizeSteps();
    void fullViewFit_data();
    void fullViewFit();
    void singlePrecisionInTestOrder();
};

void DisplayLayoutTest::autoFit_data()
{
    QTest::addColumn<SizeF>("image");
    QTest::addColumn<SizeF>("pane");
    QTest::addColumn<Box>("expected");

    QTest::newRow("wide-shrunk-by-width") << SizeF{900, 300} << Normal << Box{0, 119, 453, 151};
    QTest::newRow("tall-shrunk-by-height") << SizeF{300, 900} << Normal << Box{161.6667f, 0, 129.6667f, 389};
    QTest::newRow("small-not-enlarged") << SizeF{200, 100} << Normal << Box{126.5f, 144.5f, 200, 100};
    QTest::newRow("exactly-pane-strict-tests") << SizeF{453, 389} << Normal << Box{0, 0, 453, 389};
    QTest::newRow("normal-layout-1000x300") << SizeF{1000, 300} << Normal << Box{0, 126.55f, 453, 135.9f};
    QTest::newRow("larger-view-1000x300") << SizeF{1000, 300} << SizeF{613, 389} << Box{0, 102.55f, 613, 183.9f};
    QTest::newRow("both-sides-over") << SizeF{1000, 800} << Normal << Box{0, 13.3f, 453, 362.4f};
    QTest::newRow("one-pixel") << SizeF{1, 1} << Normal << Box{226, 194, 1, 1};
    QTest::newRow("very-wide") << SizeF{100000, 1} << Normal << Box{0, 194.49773f, 453, 0.00453f};
    QTest::newRow("very-tall") << SizeF{1, 100000} << Normal << Box{226.49806f, 0, 0.00389f, 389};
    QTest::newRow("empty-picture") << SizeF{0, 0} << Normal << Box{226.5f, 194.5f, 0, 0};
    QTest::newRow("empty-pane") << SizeF{100, 50} << SizeF{0, 0} << Box{0, 0, 0, 0};
    QTest::newRow("negative-pane-as-empty") << SizeF{100, 50} << SizeF{-4, -4} << Box{0, 0, 0, 0};
}

void DisplayLayoutTest::autoFit()
{
    QFETCH(SizeF, image);
    QFETCH(SizeF, pane);
    QFETCH(Box, expected);
    compareBox(view::autoFit(image, pane), expected);
}

void DisplayLayoutTest::actualSizeSteps()
{
    const view::ActualSize wide = view::actualSizeSteps({1000, 200}, Normal);
    QVERIFY(wide.horizontalBar && !wide.verticalBar);
    QCOMPARE(wide.horizontalStep, 547.0f / 32680);
    QCOMPARE(wide.verticalStep, 0.0f);
    // At 32680 the right edges meet; the last 20 units go about a third of a pixel further.
    QVERIFY(std::abs(view::scrollPosition(32680, wide.horizontalStep) + 547) < 1e-3f);
    QVERIFY(std::abs(view::scrollPosition(view::ScrollMax, wide.horizontalStep) + 547.3348f) < 1e-3f);

    const view::ActualSize exact = view::actualSizeSteps(Normal, Normal);
    QVERIFY(!exact.horizontalBar && !exact.verticalBar);
    const view::ActualSize over = view::actualSizeSteps({454, 390}, Normal);
    QVERIFY(over.horizontalBar && over.verticalBar);
    QCOMPARE(over.verticalStep, 1.0f / 32680);
    const view::ActualSize empty = view::actualSizeSteps({0, 0}, Normal);
    QVERIFY(!empty.horizontalBar && !empty.verticalBar);
}

void DisplayLayoutTest::fullViewFit_data()
{
    QTest::addColumn<SizeF>("image");
    QTest::addColumn<Box>("expected");
    QTest::addColumn<bool>("stretch");

    QTest::newRow("shrunk-by-width") << SizeF{2000, 1000} << Box{0, 128, 1024, 512} << true;
    QTest::newRow("fits-natural-centred") << SizeF{640, 480} << Box{192, 144, 640, 480} << false;
    QTest::newRow("exactly-screen") << SizeF{1024, 768} << Box{0, 0, 1024, 768} << false;
    QTest::newRow("shrunk-by-height") << SizeF{1000, 2000} << Box{320, 0, 384, 768} << true;
    QTest::newRow("both-sides-over") << SizeF{3000, 3000} << Box{128, 0, 768, 768} << true;
    QTest::newRow("one-pixel") << SizeF{1, 1} << Box{511.5f, 383.5f, 1, 1} << false;
    QTest::newRow("very-wide") << SizeF{100000, 1} << Box{0, 383.99488f, 1024, 0.01024f} << true;
    QTest::newRow("very-tall") << SizeF{1, 100000} << Box{511.99616f, 0, 0.00768f, 768} << true;
    QTest::newRow("empty-picture") << SizeF{0, 0} << Box{512, 384, 0, 0} << false;
}

void DisplayLayoutTest::fullViewFit()
{
    QFETCH(SizeF, image);
    QFETCH(Box, expected);
    QFETCH(bool, stretch);
    const view::FullViewFit fit = view::fullViewFit(image, Screen, ScreenTwips);
    QCOMPARE(fit.stretch, stretch);
    compareBox(fit.box, expected);
}

// Both orders of the two tests give the same size in exact arithmetic; in
// single precision they differ in the last bit, and so does a double
// computation. These pin the float results of the order each layout uses.
void DisplayLayoutTest::singlePrecisionInTestOrder()
{
    // Auto-fit tests the height first: 389 / 390 × 454 (width first: 452.835907; double: 452.835897).
    QCOMPARE(view::autoFit({454, 390}, Normal).width, 452.835876f);
    // The full view tests the width first (height first: 974.257446; double: 974.257426).
    const view::FullViewFit full = view::fullViewFit({1025, 808}, Screen, ScreenTwips);
    QCOMPARE(full.box.width, 974.257385f);
    QCOMPARE(full.box.left, 24.8713074f);
}

int runDisplayLayoutTest(int argc, char **argv)
{
    DisplayLayoutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DisplayLayoutTest.moc"
