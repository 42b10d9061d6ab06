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

#include <algorithm>
#include <cmath>

namespace app {

picture::DecodeSize decodeSizeForMode(const Form1 &form)
{
    const QSize pane = form.Picture5->interiorDeviceSize();
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

std::vector<int> heldKeyTargets(int at, int direction, int count, const std::vector<int> &pending, double decodeMs,
                                double keyMs, int workers)
{
    const double decode = std::max(decodeMs, 0.0);
    const int lead = int(std::ceil(decode / keyMs)) + 1;
    const int stride = std::max(1, int(std::ceil(decode / (keyMs * workers))));
    const int last = direction > 0 ? count - 1 : 0;
    const auto ahead = [&](int entry, int of) { return (entry - of) * direction; };
    std::vector<int> targets;
    for (const int entry : pending)
        if (entry >= 0 && entry < count && ahead(entry, at) >= 0 && int(targets.size()) < workers)
            targets.push_back(entry);
    while (count > 0 && int(targets.size()) < workers) {
        int next = at + direction * lead;
        if (!targets.empty() && ahead(targets.back() + direction * stride, next) > 0)
            next = targets.back() + direction * stride;
        if (ahead(next, last) > 0)
            next = last;
        if (!targets.empty() && ahead(next, targets.back()) <= 0)
            break;
        targets.push_back(next);
    }
    return targets;
}

namespace {

// How often a step waiting for its picture looks again, in milliseconds.
constexpr int WaitPollMs = 2;
// The time between the keys a held key sends until measured: the usual
// auto-repeat of 30 a second; a longer pause is no repeat.
constexpr double UsualRepeatMs = 1000.0 / 30;
constexpr double LongestRepeatMs = 200;

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
    // picture decodes. The entries decoded then are the ones the key will
    // reach once their pictures are ready, so that a step onto one of them
    // shows at once; the entries in between are passed without being read,
    // and the pane stays at most one decode behind the list. Letting the
    // key go loads the entry it stopped on (File1_KeyUp).
    if (DecodeAheadWhenBrowsing && File1->MovedByHeldKey() && File1->ListIndex() >= 0) {
        const int at = File1->ListIndex();
        const double sinceLastKey = m_heldKeyClock.isValid() ? double(m_heldKeyClock.restart()) : LongestRepeatMs;
        if (!m_heldTravel) {
            // The first entries on the way are those decoded ahead already.
            m_heldTravel = true;
            m_heldKeyMs = UsualRepeatMs;
            m_heldDecodeMs = 0;
            m_heldTargets = browseAheadIndices(m_browsedIndex, m_browseDirection, File1->ListCount(),
                                               slideshow::DecodeAhead::Workers);
        } else if (sinceLastKey < LongestRepeatMs) {
            m_heldKeyMs = (m_heldKeyMs + std::max(sinceLastKey, 1.0)) / 2;
        }
        m_browseDirection = File1->Path() == m_browsedFolder && at < m_browsedIndex ? -1 : 1;
        // Decodes slow down as much as the other work on the machine does:
        // the estimate follows the slowest of late.
        m_heldDecodeMs = std::max(browseAhead().lastDecodeMs(), m_heldDecodeMs * 0.9);
        const bool reached = std::find(m_heldTargets.cbegin(), m_heldTargets.cend(), at) != m_heldTargets.cend();
        m_heldTargets = heldKeyTargets(at, m_browseDirection, File1->ListCount(), m_heldTargets, m_heldDecodeMs,
                                       m_heldKeyMs, slideshow::DecodeAhead::Workers);
        requestHeldKeyTargets();
        const QString file = hostPathOf(PicturePath());
        if (!reached) {
            m_browseWaitsFor.clear(); // an entry waited for is passed too
            return;                   // the pane stays where it is
        }
        if (browseAhead().isDecoding(file, paneTarget(decodeSizeForMode(*this)))) {
            m_browseWaitsFor = file;
            waitForBrowsedPicture();
            return;
        }
        m_browseWaitsFor.clear();
        File1_Click();
        return;
    }
    endHeldTravel();
    File1_Click();
}

void Form1::File1_KeyUp(int, int)
{
    if (!m_heldTravel)
        return;
    endHeldTravel();
    // The entry the key stopped on, unless it is on the screen already or
    // its picture is on its way.
    if (File1->ListIndex() < 0 || Label3->Caption() == PicturePath() || m_browseWaitsFor == hostPathOf(PicturePath()))
        return;
    File1_Click();
}

void Form1::endHeldTravel()
{
    m_heldTravel = false;
    m_heldTargets.clear();
    m_heldKeyClock.invalidate();
}

void Form1::requestHeldKeyTargets()
{
    QStringList files;
    for (const int index : m_heldTargets)
        files << hostPathOf(winpath::join(File1->Path(), File1->List(index)));
    browseAhead().request(files, paneTarget(decodeSizeForMode(*this)));
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
    if (m_heldTravel) {
        // The key is still down: on to the next entries it will reach.
        std::erase(m_heldTargets, shown);
        m_heldTargets = heldKeyTargets(shown, m_browseDirection, File1->ListCount(), m_heldTargets, m_heldDecodeMs,
                                       m_heldKeyMs, slideshow::DecodeAhead::Workers);
        requestHeldKeyTargets();
        return;
    }
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
