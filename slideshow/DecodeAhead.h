#pragma once

#include "picture/Loader.h"

#include <QColor>
#include <QString>
#include <QSemaphore>
#include <QStringList>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <vector>

// Decoding the pictures a slide show will show next while the current one is
// on the screen.
namespace slideshow {

// How a show draws its pictures: the box and fit they are drawn at (in
// device pixels), the colour a drawing (a metafile) is drawn over, and the
// screen's device pixels to a logical pixel, which tell how many pixels a
// drawing's natural size covers.
struct ShowTarget {
    picture::DecodeSize size;
    QColor background = Qt::black;
    qreal devicePixelRatio = 1;
    bool operator==(const ShowTarget &) const = default;
};

// The file as the freshness check sees it: its length, its modification
// time, which file it is (device and inode) and when it last changed (the
// change time, which no program can set back). A file that cannot be read
// has none.
struct FileStamp {
    qint64 size = -1;
    qint64 modifiedMs = 0;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 changedNs = 0;
    bool exists() const { return size >= 0; }
    bool operator==(const FileStamp &) const = default;
};
FileStamp stampOf(const QString &hostPath);

// Reads a picture for a show that draws it at `target`, through
// picture::load: a raster that holds more pixels than are drawn is reduced
// to the drawn size, a drawing is drawn at that size over the background
// (on the screen's pixels: its natural size times the target's pixel ratio,
// or the whole box when it is stretched to it), so that showing it costs no
// more than copying its pixels. The natural size is the file's, as the
// show's size label needs it. Safe on any thread: it uses QImage and
// QPainter on images only.
picture::LoadResult loadForShow(const QString &hostPath, const ShowTarget &target);

// Two workers that decode the pictures the next steps will show while the
// current one is on the screen, each on a core of its own. request() names
// the files in the order they are needed; take() hands over the picture of
// one of them, waiting for its worker when it is still busy with it,
// provided the file is still the one it read (its stamp above) and the
// target is the same. A stale, failed or missing decode gives
// nothing: the caller reads the file itself, so that its own failure
// handling applies.
//
// At most two decoded pictures are held at any time, waiting or in the
// making, so that with the one on the screen no more than three are alive:
// a decode begins only once a picture decoded earlier has been taken or
// dropped.
class DecodeAhead {
public:
    static constexpr int Workers = 2;
    // How a worker reads a file for `target`: loadForShow unless given.
    using Reader = std::function<picture::LoadResult(const QString &hostPath, const ShowTarget &target)>;

    explicit DecodeAhead(Reader read = loadForShow);
    ~DecodeAhead(); // drops every decode and waits for those under way
    DecodeAhead(const DecodeAhead &) = delete;
    DecodeAhead &operator=(const DecodeAhead &) = delete;

    // The files the next steps show, first needed first; names past the
    // first two, and repeated ones, are left out. A decode of a file no
    // longer among them is dropped: one not yet begun never begins, one
    // under way is thrown away when done. Files already being decoded for
    // the same target are kept as they are.
    void request(const QStringList &hostPaths, const ShowTarget &target);
    std::optional<picture::Picture> take(const QString &hostPath, const ShowTarget &target);
    // The file needed first (empty when none is pending), and whether the
    // worker has finished with it.
    QString pendingPath() const;
    bool isReady() const;
    // Whether a decode of `hostPath` for `target` is pending and not yet
    // finished (taking it now would wait).
    bool isDecoding(const QString &hostPath, const ShowTarget &target) const;
    // How long the last decode that finished took, in milliseconds (its
    // wall time, so it includes what other work slowed it down by); -1
    // before the first.
    double lastDecodeMs() const { return m_lastDecodeNs->load() / 1e6; }

private:
    struct Permit;
    struct Outcome {
        // One of the two pictures that may be held; first, so that it is
        // given back only once the picture is gone.
        std::shared_ptr<Permit> permit;
        picture::LoadResult result;
        FileStamp before; // the file as it was when the worker began reading it
        FileStamp after;  // and when it had read it
    };
    struct Job {
        QString path;
        ShowTarget target;
        std::shared_ptr<std::atomic<bool>> wanted;
        std::shared_future<Outcome> outcome;
    };
    Job start(const QString &hostPath, const ShowTarget &target);
    std::vector<Job>::const_iterator find(const QString &hostPath, const ShowTarget &target) const;

    Reader m_read;
    std::shared_ptr<QSemaphore> m_permits;
    std::shared_ptr<std::atomic<qint64>> m_lastDecodeNs = std::make_shared<std::atomic<qint64>>(-1000000);
    QThreadPool m_pool;
    std::vector<Job> m_jobs; // in the order they are needed
};

// The picture a show's step puts on the screen: the one decoded ahead when
// it is still good, otherwise read here; nothing when the file cannot be
// read, so that the step's own failure rule applies.
std::optional<picture::Picture> readForShow(DecodeAhead &ahead, const QString &hostPath, const ShowTarget &target);

} // namespace slideshow
