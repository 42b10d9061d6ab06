#include "view/DisplayLayout.h"

#include <QTest>

#include <cmath>

using view::Box;
using view::SizeF;

Q_DECLARE_METATYPE(view::SizeF)
Q_DECLARE_METATYPE(view::Box)

namespace {

// Within a thousandth of a pixel (relative for large values): the expected
// figures are the ones a reader works out by hand, the results are floats.
bool near(float actual, float expected)
{
    return std::abs(actual - expected) <= 1e-3f * std::max(1.0f, std::abs(expected));
}

#define COMPARE_NEAR(actual, expected)                                                                         \
    QVERIFY2(near((actual), (expected)),                                                                       \
             qPrintable(QStringLiteral("%1 is %2, expected %3").arg(#actual).arg(double(actual), 0, 'g', 9)    \
                            .arg(double(expected), 0, 'g', 9)))

const SizeF Normal{453, 389};
const SizeF Larger{613, 389};

} // namespace

class DisplayLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void autoFit_data();
    void autoFit();
    void autoFitNeverEnlargesAndKeepsAspect();
    void actualSizeSteps_data();
    void actualSizeSteps();
    void scrollPositionReachesFarEdge();
    void stretchedFillsPane();
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
    QTest::newRow("larger-view-1000x300") << SizeF{1000, 300} << Larger << Box{0, 102.55f, 613, 183.9f};
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
    const Box box = view::autoFit(image, pane);
    COMPARE_NEAR(box.width, expected.width);
    COMPARE_NEAR(box.height, expected.height);
    COMPARE_NEAR(box.left, expected.left);
    COMPARE_NEAR(box.top, expected.top);
}

void DisplayLayoutTest::autoFitNeverEnlargesAndKeepsAspect()
{
    const int sides[] = {1, 2, 50, 388, 389, 390, 452, 453, 454, 1000, 4000, 65535};
    for (int w : sides) {
        for (int h : sides) {
            const SizeF image{float(w), float(h)};
            const Box box = view::autoFit(image, Normal);
            const QString row = QStringLiteral("%1x%2").arg(w).arg(h);
            QVERIFY2(box.width <= Normal.width && box.height <= Normal.height, qPrintable(row));
            QVERIFY2(box.width <= image.width && box.height <= image.height, qPrintable(row));
            const float scale = std::min({1.0f, Normal.width / image.width, Normal.height / image.height});
            QVERIFY2(near(box.width, image.width * scale) && near(box.height, image.height * scale), qPrintable(row));
            QVERIFY2(near(box.left * 2 + box.width, Normal.width), qPrintable(row));
            QVERIFY2(near(box.top * 2 + box.height, Normal.height), qPrintable(row));
        }
    }
}

void DisplayLayoutTest::actualSizeSteps_data()
{
    QTest::addColumn<SizeF>("image");
    QTest::addColumn<float>("hStep");
    QTest::addColumn<float>("vStep");
    QTest::addColumn<bool>("hBar");
    QTest::addColumn<bool>("vBar");

    QTest::newRow("wide-horizontal-only") << SizeF{1000, 200} << 547.0f / 32680 << 0.0f << true << false;
    QTest::newRow("tall-vertical-only") << SizeF{200, 1000} << 0.0f << 611.0f / 32680 << false << true;
    QTest::newRow("exactly-pane-no-bars") << SizeF{453, 389} << 0.0f << 0.0f << false << false;
    QTest::newRow("one-over-both-bars") << SizeF{454, 390} << 1.0f / 32680 << 1.0f / 32680 << true << true;
    QTest::newRow("empty-no-bars") << SizeF{0, 0} << 0.0f << 0.0f << false << false;
}

void DisplayLayoutTest::actualSizeSteps()
{
    QFETCH(SizeF, image);
    QFETCH(float, hStep);
    QFETCH(float, vStep);
    QFETCH(bool, hBar);
    QFETCH(bool, vBar);
    const view::ActualSize steps = view::actualSizeSteps(image, Normal);
    QCOMPARE(steps.horizontalBar, hBar);
    QCOMPARE(steps.verticalBar, vBar);
    COMPARE_NEAR(steps.horizontalStep, hStep);
    COMPARE_NEAR(steps.verticalStep, vStep);
}

void DisplayLayoutTest::scrollPositionReachesFarEdge()
{
    const float step = view::actualSizeSteps({1000, 200}, Normal).horizontalStep;
    QCOMPARE(view::scrollPosition(0, step), 0.0f);
    // One arrow click moves a fraction of a pixel.
    COMPARE_NEAR(view::scrollPosition(1, step), -547.0f / 32680);
    // At 32680 the right edges meet; the last 20 units go about a third of a pixel further.
    COMPARE_NEAR(view::scrollPosition(view::ScrollDivisor, step) + 1000, Normal.width);
    COMPARE_NEAR(view::scrollPosition(view::ScrollMax, step) + 1000, Normal.width - 20 * 547.0f / 32680);
}

void DisplayLayoutTest::stretchedFillsPane()
{
    const Box box = view::stretched(Larger);
    QCOMPARE(box.left, 0.0f);
    QCOMPARE(box.top, 0.0f);
    QCOMPARE(box.width, 613.0f);
    QCOMPARE(box.height, 389.0f);
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
    // A 1024 × 768 screen at 15 twips per pixel.
    const view::FullViewFit fit = view::fullViewFit(image, {1024, 768}, {15360, 11520});
    QCOMPARE(fit.stretch, stretch);
    COMPARE_NEAR(fit.box.width, expected.width);
    COMPARE_NEAR(fit.box.height, expected.height);
    COMPARE_NEAR(fit.box.left, expected.left);
    COMPARE_NEAR(fit.box.top, expected.top);
}

// Both orders of the two tests give the same size in exact arithmetic; in
// single precision they differ in the last bit, and so does a double
// computation. These pin the float results of the order each layout uses.
void DisplayLayoutTest::singlePrecisionInTestOrder()
{
    // Auto-fit tests the height first: 389 / 390 × 454 (width first: 452.835907; double: 452.835897).
    const Box fitted = view::autoFit({454, 390}, Normal);
    QCOMPARE(fitted.width, 452.835876f);
    QCOMPARE(fitted.height, 389.0f);

    // The full view tests the width first (height first: 974.257446; double: 974.257426).
    const view::FullViewFit full = view::fullViewFit({1025, 808}, {1024, 768}, {15360, 11520});
    QCOMPARE(full.box.width, 974.257385f);
    QCOMPARE(full.box.height, 768.0f);
    QCOMPARE(full.box.left, 24.8713074f);
}

int runDisplayLayoutTest(int argc, char **argv)
{
    DisplayLayoutTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DisplayLayoutTest.moc"
