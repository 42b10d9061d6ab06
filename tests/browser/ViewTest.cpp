#include "MainWindowFixture.h"
#include "controls/DirListBox.h"
#include "controls/FileListBox.h"
#include "controls/ImageControl.h"
#include "controls/Label.h"
#include "controls/MenuItem.h"
#include "controls/PictureBox.h"
#include "controls/ScrollBar.h"
#include "tests/support/TestRunner.h"
#include "view/Form8.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QTest>

class ViewTest : public QObject {
    Q_OBJECT
    MainWindowFixture f;

    app::Form1 *show(const QString &name, QSize size)
    {
        f.picture(QStringLiteral("Pictures/") + name, size);
        app::Form1 *main = f.load();
        main->File1->setListIndex(0);
        return main;
    }

    static void compareBox(const controls::ImageControl *image, float l, float t, float w, float h)
    {
        QVERIFY2(qAbs(image->Left() - l) < 0.01f && qAbs(image->Top() - t) < 0.01f && qAbs(image->Width() - w) < 0.01f
                     && qAbs(image->Height() - h) < 0.01f,
                 qPrintable(QStringLiteral("%1,%2 %3x%4").arg(image->Left()).arg(image->Top()).arg(image->Width()).arg(image->Height())));
    }

private slots:
    void init() { f.setUp(); }
    void cleanup() { f.tearDown(); }

    void thePaneIsTheSizeOfTheLayout()
    {
        app::Form1 *main = f.load();
        QCOMPARE(main->Picture5->ScaleWidth(), 453);
        QCOMPARE(main->Picture5->ScaleHeight(), 389);
        QCOMPARE(main->centralWidget()->size(), QSize(632, 409));
        QCOMPARE(main->VScroll1->Max(), 32700);
        QVERIFY(main->HScroll1->isHidden() && main->VScroll1->isHidden());
        QCOMPARE(main->HScroll1->focusPolicy() & Qt::TabFocus, 0);
    }

    void autoFitShrinksWideAndTallPicturesAndCentresSmallOnes_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRectF>("box");
        QTest::newRow("wide") << QSize(900, 300) << QRectF(0, 119, 453, 151);
        QTest::newRow("tall") << QSize(300, 900) << QRectF(161.6667, 0, 129.6667, 389);
        QTest::newRow("small") << QSize(200, 100) << QRectF(126.5, 144.5, 200, 100);
        QTest::newRow("pane-sized") << QSize(453, 389) << QRectF(0, 0, 453, 389);
    }
    void autoFitShrinksWideAndTallPicturesAndCentresSmallOnes()
    {
        QFETCH(QSize, size);
        QFETCH(QRectF, box);
        app::Form1 *main = show(QStringLiteral("p.bmp"), size);
        compareBox(main->Image1, float(box.left()), float(box.top()), float(box.width()), float(box.height()));
        QVERIFY(main->Image1->Stretch());
        QVERIFY(main->HScroll1->isHidden() && main->VScroll1->isHidden());
        // The information gives the natural size.
        QCOMPARE(main->Label9->Caption(), QStringLiteral("%1 X %2").arg(size.width()).arg(size.height()));
    }

    void actualSizeScrollsAWidePicture()
    {
        app::Form1 *main = show(QStringLiteral("p.bmp"), {1000, 200});
        main->Act1_Click();
        QVERIFY(main->Act1->Checked() && !main->auto1->Checked() && !main->St1->Checked());
        QVERIFY(!main->HScroll1->isHidden());
        QVERIFY(main->VScroll1->isHidden());
        QCOMPARE(main->HorizontalStep, 547.0f / 32680.0f);
        QCOMPARE(main->VerticalStep, 0.0f);
        compareBox(main->Image1, 0, 0, 1000, 200);
        main->HScroll1->setValue(32700);
        QVERIFY(qAbs(main->Image1->Left() - (-32700.0f * 547.0f / 32680.0f)) < 0.01f);
        main->HScroll1->setValue(1);
        QVERIFY(qAbs(main->Image1->Left() + 547.0f / 32680.0f) < 1e-5f);
        // Back to Auto-Fit: bars gone, centred; and again Actual: at 0,0 with the bars reset.
        main->auto1_Click();
        QVERIFY(main->HScroll1->isHidden());
        compareBox(main->Image1, 0, 0 + (389 - 90.6f) / 2, 453, 90.6f);
        main->Act1_Click();
        QCOMPARE(main->HScroll1->Value(), 0);
        compareBox(main->Image1, 0, 0, 1000, 200);
    }

    void aPictureAsLargeAsThePaneNeedsNoBars()
    {
        app::Form1 *main = show(QStringLiteral("p.bmp"), {453, 389});
        main->Act1_Click();
        QVERIFY(main->HScroll1->isHidden() && main->VScroll1->isHidden());
    }

    void stretchedFillsThePaneAndStaysSo()
    {
        f.picture(QStringLiteral("Pictures/b.bmp"), {300, 50});
        app::Form1 *main = show(QStringLiteral("a.bmp"), {100, 100});
        main->St1_Click();
        compareBox(main->Image1, 0, 0, 453, 389);
        QVERIFY(main->Label10->isVisible() && main->Label9->isHidden());
        main->File1->setListIndex(1);
        compareBox(main->Image1, 0, 0, 453, 389);
        QVERIFY(main->Label10->isVisible());
        main->auto1_Click();
        QVERIFY(main->Label9->isVisible() && main->Label10->isHidden());
        compareBox(main->Image1, 76.5f, 169.5f, 300, 50); // it fits, so natural size, centred
    }

    void theLargerViewWidensThePaneAndRestores()
    {
        app::Form1 *main = show(QStringLiteral("p.bmp"), {1000, 300});
        compareBox(main->Image1, 0, (389 - 135.9f) / 2, 453, 135.9f);
        main->largev_Click();
        QCOMPARE(main->largev->Caption(), QStringLiteral("Restore"));
        QCOMPARE(main->Picture5->ScaleWidth(), 613);
        QVERIFY(main->Frame1->isHidden() && main->Dir1->isHidden());
        QVERIFY(!main->File1->isHidden());
        compareBox(main->Image1, 0, (389 - 183.9f) / 2, 613, 183.9f);
        // A click on the picture in the larger view restores.
        main->Image1_Click();
        QCOMPARE(main->largev->Caption(), QStringLiteral("Larger View"));
        QCOMPARE(main->Picture5->ScaleWidth(), 453);
        QVERIFY(!main->Frame1->isHidden());
        QVERIFY(!main->restore->Visible());
    }

    void theLargerViewDecodesAJpegForItsWiderPane()
    {
        QImage photo(2000, 1000, QImage::Format_RGB32);
        photo.fill(Qt::darkGreen);
        QVERIFY(photo.save(f.c() + QStringLiteral("/Pictures/photo.jpg"), "JPEG"));
        app::Form1 *main = f.load();
        main->File1->setListIndex(0);
        QVERIFY(main->Image1->Picture().isReduced());
        QVERIFY(main->Image1->Picture().image().width() <= 453);
        main->largev_Click();
        QVERIFY(main->Image1->Picture().image().width() >= 612);
        QCOMPARE(main->Image1->Picture().naturalSize(), QSize(2000, 1000));
    }

    void everyModeDecodesAJpegAgainForTheLargerView_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QSize>("shown");
        QTest::newRow("stretched") << "St1" << QSize(613, 389);
        QTest::newRow("auto-fit") << "auto1" << QSize(613, 307);
    }
    void everyModeDecodesAJpegAgainForTheLargerView()
    {
        QFETCH(QString, mode);
        QFETCH(QSize, shown);
        QImage photo(2000, 1000, QImage::Format_RGB32);
        photo.fill(Qt::darkGreen);
        QVERIFY(photo.save(f.c() + QStringLiteral("/Pictures/photo.jpg"), "JPEG"));
        app::Form1 *main = f.load();
        main->File1->setListIndex(0);
        main->findChild<controls::MenuItem *>(mode)->action()->trigger();
        QVERIFY(main->Image1->Picture().isReduced());
        QVERIFY(main->Image1->Picture().image().width() <= 453);
        main->largev_Click();
        QCOMPARE(main->Picture5->ScaleWidth(), shown.width());
        // As many pixels as the wider pane shows, not the normal pane's copy enlarged.
        QCOMPARE(main->Image1->Picture().image().size(), shown);
        QCOMPARE(main->Image1->Picture().naturalSize(), QSize(2000, 1000));
        main->restore_Click();
        QCOMPARE(main->Image1->Picture().image().size(), shown); // more pixels do no harm
    }

    void actualSizeInTheLargerViewRecomputesTheBars()
    {
        app::Form1 *main = show(QStringLiteral("p.bmp"), {1000, 200});
        main->Act1_Click();
        main->HScroll1->setValue(500);
        main->largev_Click();
        QCOMPARE(main->HScroll1->Value(), 0);
        QCOMPARE(main->HorizontalStep, 387.0f / 32680.0f);
        QCOMPARE(main->HScroll1->width(), 617);
    }

    void aClickOnThePictureOpensTheFullViewOnlyInAutoFit()
    {
        app::Form1 *main = show(QStringLiteral("p.bmp"), {120, 80});
        main->Act1_Click();
        main->Image1_Click();
        QVERIFY(!view::Form8::loaded());
        main->auto1_Click();
        main->Image1_Click();
        QVERIFY(view::Form8::loaded());
        QCOMPARE(view::Form8::loaded()->Image1->Width(), 120.0f);
    }

    void metafilesShowInEveryMode()
    {
        const QString corpus = testsupport::corpusDir();
        if (corpus.isEmpty())
            QSKIP("the picture corpus is not present");
        int copied = 0;
        for (const QString &sub : {QStringLiteral("wmf"), QStringLiteral("emf")}) {
            const QDir dir(corpus + QLatin1Char('/') + sub);
            for (const QString &name : dir.entryList({QStringLiteral("*.wmf"), QStringLiteral("*.emf")}, QDir::Files)) {
                if (copied >= 12)
                    break;
                if (QFile::copy(dir.filePath(name), f.c() + QStringLiteral("/Pictures/") + name))
                    ++copied;
            }
        }
        app::Form1 *main = f.load();
        QVERIFY(main->File1->ListCount() > 0);
        int refused = 0;
        for (int i = 0; i < main->File1->ListCount(); ++i) {
            f.boxes->shown.clear();
            main->File1->setListIndex(i);
            if (!f.boxes->shown.isEmpty()) {
                ++refused; // a file the player refuses has had its message
                continue;
            }
            QVERIFY(main->Image1->Picture().isDrawing());
            main->St1_Click();
            QCOMPARE(main->Image1->Width(), 453.0f);
            main->Act1_Click();
            main->auto1_Click();
            QVERIFY(main->Image1->Width() <= 453.0f && main->Image1->Height() <= 389.0f);
            main->grab(); // plays it
            main->ShowFullView();
            QVERIFY(view::Form8::loaded()->Image1->Picture().isDrawing());
            view::Form8::loaded()->Image1_Click();
            QVERIFY(f.boxes->shown.isEmpty());
        }
        QVERIFY2(refused <= 1, qPrintable(QString::number(refused)));
    }

    void thePopUpModeItemsFollowTheViewMenu()
    {
        app::Form1 *main = f.load();
        main->Picture5_MouseDown(1, 0, 10, 10);
        QVERIFY(!main->St2->Enabled() && !main->auto3->Enabled() && !main->Act2->Enabled());
        f.picture(QStringLiteral("Pictures/p.bmp"), {20, 20});
        main->refresh1_Click();
        main->File1->setListIndex(0);
        main->Image1_MouseDown(1, 0, 1, 1);
        QVERIFY(main->St2->Enabled() && main->auto3->Enabled() && main->Act2->Enabled());
        QVERIFY(!main->St2->Checked() && !main->auto3->Checked());
    }
};

LUMADEX_TEST_CLASS(ViewTest);
#include "ViewTest.moc"
