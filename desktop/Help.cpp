// The help window, the help command and the home page.
#include "desktop/Help.h"

#include "app/Form1.h"
#include "platform/Drives.h"
#include "platform/Folders.h"
#include "platform/HostPath.h"
#include "platform/ShellExecute.h"

#include <QAction>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>

namespace desktop {

namespace {

// The guide's files are named by their host path: the drive table may hold
// no drive that reaches the program's folder, and a name built from the
// table would then point at another drive's file or at none.
QString guideUrl(const QString &fileName)
{
    return platform::hostFileUrl(platform::programFilesFolder() + QLatin1Char('/') + fileName)
        .toString(QUrl::FullyEncoded);
}

} // namespace

HelpWindow::HelpWindow()
{
    setObjectName(QStringLiteral("HelpWindow"));
    setCaption(QStringLiteral("Lumadex Viewer Help"));
    Browser = new QTextBrowser(this);
    Browser->setObjectName(QStringLiteral("Browser"));
    // Links to the web go to the browser; links inside the guide stay here.
    Browser->setOpenExternalLinks(true);
    setCentralWidget(Browser);

    QToolBar *bar = addToolBar(QStringLiteral("Navigation"));
    bar->setObjectName(QStringLiteral("Navigation"));
    bar->setMovable(false);
    bar->addAction(QStringLiteral("&Contents"), Browser, &QTextBrowser::home);
    QAction *back = bar->addAction(QStringLiteral("&Back"), Browser, &QTextBrowser::backward);
    QAction *forward = bar->addAction(QStringLiteral("&Forward"), Browser, &QTextBrowser::forward);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(Browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(Browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);

    connect(Browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = Browser->documentTitle();
        setCaption(title.isEmpty() ? QStringLiteral("Lumadex Viewer Help") : title);
    });
    resize(760, 600);
}

void HelpWindow::showDocument(const QString &hostPath)
{
    // The document is HTML whatever its name says.
    Browser->setSource(QUrl::fromLocalFile(hostPath), QTextDocument::HtmlResource);
    Browser->clearHistory();
}

void openHelpDocument(const QString &hostPath)
{
    HelpWindow &help = HelpWindow::instance();
    help.showDocument(hostPath);
    help.showInFront();
}

void OpenHomePage()
{
    platform::shell().ShellExecute(nullptr, QString(), guideUrl(HomePageFileName), QString(), QStringLiteral("C:\\"),
                                   platform::SW_SHOWNORMAL);
}

} // namespace desktop

namespace app {

void Form1::readme_Click()
{
    // The working folder is the guide's own, as the viewer names it (none
    // when no drive reaches it); the shell's answer is not examined, so a
    // missing file shows nothing.
    const QString folder = platform::DriveTable::fromEnvironment().toWindowsPath(platform::programFilesFolder());
    platform::shell().ShellExecute(this, QStringLiteral("Open"), desktop::guideUrl(desktop::HelpFileName), QString(),
                                   folder, platform::SW_SHOWNORMAL);
}

void Form1::ontheweb_Click()
{
    desktop::OpenHomePage();
}

} // namespace app
