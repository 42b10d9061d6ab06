#pragma once

#include "picture/Loader.h"

#include <QColor>
#include <QString>
#include <QThreadPool>

#include <future>
#include <memory>
#include <optional>

// Decoding the picture a slide show will show next while the current one is
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

// One worker that decodes one picture ahead. request() starts reading a
// file in the background (a request for another file makes the previous one
// stale); take() hands over the picture of the file asked for, waiting for
// the worker when it is still busy with it, provided the file is still the
// one it read (its stamp above) and the target is the same.
// A stale, failed or missing decode gives nothing: the caller reads the file
// itself, so that its own failure handling applies.
class DecodeAhead {
public:
    DecodeAhead();
    ~DecodeAhead(); // waits for a decode that is under way
    DecodeAhead(const DecodeAhead &) = delete;
    DecodeAhead &operator=(const DecodeAhead &) = delete;

    void request(const QString &hostPath, const ShowTarget &target);
    std::optional<picture::Picture> take(const QString &hostPath, const ShowTarget &target);
    // The file a decode has been requested for (empty when none is pending),
    // and whether the worker has finished with it.
    QString pendingPath() const { return m_path; }
    bool isReady() const;

private:
    struct Outcome {
        picture::LoadResult result;
        FileStamp before; // the file as it was when the worker began reading it
        FileStamp after;  // and when it had read it
    };
    QThreadPool m_pool;
    QString m_path;
    ShowTarget m_target;
    std::shared_future<Outcome> m_outcome;
};

// The picture a show's step puts on the screen: the one decoded ahead when
// it is still good, otherwise read here; nothing when the file cannot be
// read, so that the step's own failure rule applies.
std::optional<picture::Picture> readForShow(DecodeAhead &ahead, const QString &hostPath, const ShowTarget &target);

} // namespace slideshow
