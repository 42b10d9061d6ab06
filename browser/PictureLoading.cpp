// Loading the chosen file into the picture control, with its file
// information and the title.
#include "app/Form1.h"
#include "browser/FileInfo.h"
#include "browser/PictureLoading.h"
#include "controls/ComboBox.h"
#include "controls/FileListBox.h"
#include "controls/ImageControl.h"
#include "controls/Label.h"
#include "controls/MenuItem.h"
#include "controls/PictureBox.h"
#include "picture/Loader.h"
#include "platform/Dialogs.h"
#include "platform/Drives.h"
#include "platform/HostPath.h"
#include "platform/WinPath.h"
#include "slideshow/DecodeAhead.h"

#include <QTimer>

namespace app {

picture::DecodeSize decodeSizeForMode(const Form1 &form)
{
    const QSize pane(form.Picture5->ScaleWidth(), form.Picture5->ScaleHeight());
    if (form.auto1->Checked())
        return picture::DecodeSize::within(pane);
    if (form.St1->Checked())
        return picture::DecodeSize::exactly(pane);
    return picture::DecodeSize::natural();
}

std::vector<int> browseAheadIndices(int shown, int direction, int count, int steps)
{
    std::vector<int> indices;
    for (int at = shown + direction; at >= 0 && at < count && int(indices.size()) < steps; at += direction)
        indices.push_back(at);
    return indices;
}

namespace {

// How often a step waiting for its picture looks again, in milliseconds.
constexpr int WaitPollMs = 2;

QString hostPathOf(const QString &windowsPath)
{
    return platform::DriveTable::fromEnvironment().toHostPath(windowsPath);
}

// The pane's pictures are read exactly as the step reads them, so that a
// picture decoded ahead is the one the step would have read.
slideshow::ShowTarget paneTarget(const picture::DecodeSize &size)
{
    return {size, Qt::black};
}

} // namespace

slideshow::DecodeAhead &Form1::browseAhead()
{
    if (!m_browseAhead)
        setBrowseReader([](const QString &hostPath, const picture::DecodeSize &size) { return picture::load(hostPath, size); });
    return *m_browseAhead;
}

void Form1::setBrowseReader(std::function<picture::LoadResult(const QString &hostPath, const picture::DecodeSize &size)> read)
{
    m_browseAhead = std::make_unique<slideshow::DecodeAhead>(
        [read = std::move(read)](const QString &hostPath, const slideshow::ShowTarget &target) {
            return read(hostPath, target.size);
        });
}

void Form1::File1_Changed()
{
    // A held key steps about 30 times a second, faster than a large
    // picture decodes: the entry it reaches has its picture (and the next
    // one's) decoded, and the step is loaded once it is there, unless the
    // key has moved on by then. So the pane never falls more than one
    // decode behind the list, and entries passed in between are skipped.
    if (DecodeAheadWhenBrowsing && File1->MovedByHeldKey() && File1->ListIndex() >= 0) {
        const slideshow::ShowTarget target = paneTarget(decodeSizeForMode(*this));
        const QString file = hostPathOf(PicturePath());
        QStringList files{file};
        const int direction = File1->Path() == m_browsedFolder && File1->ListIndex() < m_browsedIndex ? -1 : 1;
        for (const int index : browseAheadIndices(File1->ListIndex(), direction, File1->ListCount(), 1))
            files << hostPathOf(winpath::join(File1->Path(), File1->List(index)));
        browseAhead().request(files, target);
        if (browseAhead().isDecoding(file, target)) {
            m_browseWaitsFor = file;
            waitForBrowsedPicture();
            return;
        }
    }
    m_browseWaitsFor.clear();
    File1_Click();
}

void Form1::waitForBrowsedPicture()
{
    if (m_browseWaitPolls)
        return;
    m_browseWaitPolls = true;
    QTimer::singleShot(WaitPollMs, this, [this] {
        m_browseWaitPolls = false;
        if (m_browseWaitsFor.isEmpty())
            return;
        // The list was read again, or another step took over.
        if (File1->ListIndex() < 0 || hostPathOf(PicturePath()) != m_browseWaitsFor) {
            m_browseWaitsFor.clear();
            return;
        }
        if (browseAhead().isDecoding(m_browseWaitsFor, paneTarget(decodeSizeForMode(*this)))) {
            waitForBrowsedPicture();
            return;
        }
        m_browseWaitsFor.clear();
        File1_Click();
    });
}

picture::LoadResult Form1::loadForPane(const QString &hostPath, const picture::DecodeSize &size)
{
    if (DecodeAheadWhenBrowsing)
        if (std::optional<picture::Picture> decoded = browseAhead().take(hostPath, paneTarget(size)))
            return {std::move(*decoded), {}};
    return picture::load(hostPath, size);
}

void Form1::decodeBrowsingAhead(int shown)
{
    // In another folder the travel starts downwards again.
    if (File1->Path() != m_browsedFolder) {
        m_browsedFolder = File1->Path();
        m_browsedIndex = -1;
        m_browseDirection = 1;
    }
    if (m_browsedIndex >= 0 && shown != m_browsedIndex)
        m_browseDirection = shown < m_browsedIndex ? -1 : 1;
    m_browsedIndex = shown;
    if (!DecodeAheadWhenBrowsing)
        return;
    QStringList files;
    for (const int index : browseAheadIndices(shown, m_browseDirection, File1->ListCount(), slideshow::DecodeAhead::Workers))
        files << hostPathOf(winpath::join(File1->Path(), File1->List(index)));
    browseAhead().request(files, paneTarget(decodeSizeForMode(*this)));
}

QString Form1::PicturePath() const
{
    if (File1->FileName().isEmpty())
        return {};
    return winpath::join(File1->Path(), File1->FileName());
}

void Form1::File1_Click()
{
    // Any failing step ends in the message below.
    const auto fail = [this] {
        platform::dialogs().MsgBox(
            QStringLiteral("This File Type is not supported yet in this version or the file is corrupted or not accessible!"),
            platform::MsgStyle::OKOnly, QStringLiteral("Lumadex Viewer"));
        Combo1->setListIndex(0);
    };
    // 1. A picture is coming: the modes can be chosen.
    St1->setEnabled(true);
    auto1->setEnabled(true);
    Act1->setEnabled(true);
    // 2. Prepare the control for the mode.
    if (Act1->Checked())
        Image1->setStretch(false);
    if (auto1->Checked()) {
        Image1->setStretch(false);
        Image1->setVisible(false);
    }
    // 3. The selected file's full path.
    const QString path = PicturePath();
    if (path.isEmpty())
        return fail();
    // 4. Load it: decoded ahead while the previous picture was looked at,
    // when that is still the same file; read here otherwise.
    const QString hostPath = hostPathOf(path);
    const picture::LoadResult loaded = loadForPane(hostPath, decodeSizeForMode(*this));
    if (!loaded.ok())
        return fail();
    Image1->setPicture(loaded.picture);
    // 5. File size.
    const platform::HostFileStatus info = platform::hostFileStatus(hostPath).value_or(platform::HostFileStatus{});
    Label7->setCaption(fileSizeText(info.size));
    // 6. Picture size, as the control holds it.
    Label9->setCaption(pictureSizeText(Image1->Width(), Image1->Height()));
    // 7. Fit it by the current mode.
    ApplyMode();
    // 8. File date.
    Label8->setCaption(fileDateText(info.lastModified));
    // 9. Title with the list position.
    setCaption(pictureTitle(path, File1->ListIndex() + 1, File1->ListCount()));
    // 10. The picture now shown.
    Label3->setCaption(path);
    // The next pictures in the direction of travel, decoded while this one
    // is looked at.
    decodeBrowsingAhead(File1->ListIndex());
}

} // namespace app
