#include "controls/ScrollBar.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStyleOptionSlider>
#include <QTest>
#include <QVBoxLayout>

using controls::ScrollBar;

namespace {

QPoint centreOf(ScrollBar &bar, QStyle::SubControl part)
{
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.orientation = bar.orientation();
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = bar.sliderPosition();
    option.sliderValue = bar.value();
    option.singleStep = bar.singleStep();
    option.pageStep = bar.pageStep();
    option.upsideDown = false;
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar).center();
}

} // namespace

class ScrollBarTest : public QObject {
    Q_OBJECT
private slots:
    void changeOnlyWhenValueChanges();
    void arrowAndTrackMoveOneUnit();
    void tabSkipsIt();
};

void ScrollBarTest::changeOnlyWhenValueChanges()
{
    ScrollBar bar(Qt::Horizontal);
    bar.setMin(0);
    bar.setMax(32700);
    QSignalSpy changes(&bar, &ScrollBar::Change);
    bar.setValue(0);
    QCOMPARE(changes.count(), 0);
    bar.setValue(547);
    QCOMPARE(changes.count(), 1);
    bar.setValue(547);
    QCOMPARE(changes.count(), 1);
    bar.setValue(40000);
    QCOMPARE(bar.Value(), 32700);
    QCOMPARE(changes.count(), 2);
}

void ScrollBarTest::arrowAndTrackMoveOneUnit()
{
    ScrollBar bar(Qt::Horizontal);
    bar.setMax(32700);
    bar.resize(300, 16);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    QSignalSpy changes(&bar, &ScrollBar::Change);

    QTest::mouseClick(&bar, Qt::LeftButton, {}, centreOf(bar, QStyle::SC_ScrollBarAddLine));
    QCOMPARE(bar.Value(), 1);
    QCOMPARE(changes.count(), 1);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, centreOf(bar, QStyle::SC_ScrollBarAddPage));
    QCOMPARE(bar.Value(), 2);
    QCOMPARE(changes.count(), 2);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, centreOf(bar, QStyle::SC_ScrollBarSubLine));
    QCOMPARE(bar.Value(), 1);
    QCOMPARE(changes.count(), 3);

    // Dragging the thumb: the value follows when it is let go, once.
    bar.setSliderDown(true);
    bar.setSliderPosition(16340);
    bar.setSliderPosition(32700);
    QCOMPARE(changes.count(), 3);
    bar.setSliderDown(false);
    QCOMPARE(bar.Value(), 32700);
    QCOMPARE(changes.count(), 4);
}

void ScrollBarTest::tabSkipsIt()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *before = new QLineEdit;
    auto *bar = new ScrollBar(Qt::Vertical);
    auto *after = new QLineEdit;
    layout->addWidget(before);
    layout->addWidget(bar);
    layout->addWidget(after);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), after);
}

int runScrollBarTest(int argc, char **argv)
{
    ScrollBarTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ScrollBarTest.moc"
