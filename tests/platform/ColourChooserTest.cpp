#include "platform/Dialogs.h"
#include "tests/support/TestEnvironment.h"
#include "tests/support/TestRunner.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QTest>
#include <QTimer>

#include <memory>

// The colour chooser as the program shows it, with Qt's own dialog.
class ColourChooserTest : public QObject {
    Q_OBJECT
    std::unique_ptr<testsupport::HermeticEnvironment> env;

    // Shows the chooser; while it is open `act` looks at it and closes it.
    std::optional<qint32> choose(const std::function<void(QColorDialog *)> &act)
    {
        QTimer::singleShot(0, this, [act] {
            auto *dialog = qobject_cast<QColorDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            act(dialog);
        });
        return platform::makeQtDialogs()->ChooseColor(nullptr, 0x00336699);
    }

    static QList<QColor> customColours()
    {
        QList<QColor> colours;
        for (int i = 0; i < QColorDialog::customCount(); ++i)
            colours << QColorDialog::customColor(i);
        return colours;
    }

private slots:
    void init() { env = std::make_unique<testsupport::HermeticEnvironment>(); }

    void customColoursStartBlackAndAreNotKept()
    {
        const QList<QColor> black(16, QColor(Qt::black));
        QList<QColor> seen;
        // The user adds a custom colour and picks it.
        auto answer = choose([&](QColorDialog *dialog) {
            seen = customColours();
            QColorDialog::setCustomColor(0, Qt::red);
            dialog->setCurrentColor(Qt::red);
            dialog->accept();
        });
        QCOMPARE(seen, black);
        QCOMPARE(answer, std::optional<qint32>(0x000000FF));
        // The next use starts black again; a Cancel answers nothing.
        answer = choose([&](QColorDialog *dialog) {
            seen = customColours();
            QColorDialog::setCustomColor(5, Qt::green);
            dialog->reject();
        });
        QCOMPARE(seen, black);
        QCOMPARE(answer, std::nullopt);
        // Nothing of them was written to the user's configuration.
        QCOMPARE(QDir(env->configHome()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    }
};

LUMADEX_TEST_CLASS(ColourChooserTest);
#include "ColourChooserTest.moc"
