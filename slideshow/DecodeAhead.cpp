#include "slideshow/DecodeAhead.h"

#include <QDateTime>
#include "platform/HostPath.h"

#include <QPainter>

namespace slideshow {

FileStamp stampOf(const QString &hostPath)
{
    const auto status = platform::hostFileStatus(hostPath);
    if (!status || !status->isFile)
        return {};
    return {status->size, status->lastModified.toMSecsSinceEpoch(), status->device, status->inode, status->changedNs};
}

picture::LoadResult loadForShow(const QString &hostPath, const ShowTarget &target)
{
    picture::LoadResult loaded = picture::load(hostPath, target.size);
    if (!loaded.ok())
        return loaded;
    const QSize natural = loaded.picture.naturalSize();
    if (loaded.picture.isDrawing()) {
        // A drawing has no pixels of its own: it gets as many as it covers on
        // the screen.
        const QSize onScreen = (QSizeF(natural) * target.devicePixelRatio).toSize();
        const bool stretched = target.size.fit == picture::DecodeSize::Fit::Exactly && !target.size.box.isEmpty();
        const QSize drawn = stretched ? target.size.box : picture::decodedSize(target.size, onScreen);
        if (drawn.isEmpty())
            return loaded;
        QImage canvas(drawn, QImage::Format_RGB32);
        canvas.fill(target.background);
        QPainter painter(&canvas);
        loaded.picture.draw(painter, QRectF(QPointF(0, 0), QSizeF(drawn)));
        painter.end();
        // Drawn once: there is no file to decode again at a larger size.
        return {picture::Picture::fromReducedImage(std::move(canvas), natural, QString()), {}};
    }
    const QSize shown = picture::decodedSize(target.size, natural);
    if (shown.isEmpty())
        return loaded;
    const QImage &pixels = loaded.picture.image();
    if (pixels.width() <= shown.width() && pixels.height() <= shown.height())
        return loaded; // already the drawn size (JPEG's reduced decoding) or smaller
    QImage reduced = pixels.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return {picture::Picture::fromReducedImage(std::move(reduced), natural, hostPath), {}};
}

DecodeAhead::DecodeAhead()
{
    m_pool.setMaxThreadCount(1);
}

DecodeAhead::~DecodeAhead()
{
    m_pool.waitForDone();
}

void DecodeAhead::request(const QString &hostPath, const ShowTarget &target)
{
    if (m_outcome.valid() && hostPath == m_path && target == m_target)
        return;
    m_path = hostPath;
    m_target = target;
    auto task = std::make_shared<std::packaged_task<Outcome()>>([hostPath, target] {
        Outcome outcome;
        outcome.before = stampOf(hostPath);
        outcome.result = loadForShow(hostPath, target);
        outcome.after = stampOf(hostPath);
        return outcome;
    });
    m_outcome = task->get_future().share();
    // A decode still under way for an earlier request finishes first (one
    // worker); its result is simply not taken.
    m_pool.start([task] { (*task)(); });
}

bool DecodeAhead::isReady() const
{
    return m_outcome.valid() && m_outcome.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

std::optional<picture::Picture> DecodeAhead::take(const QString &hostPath, const ShowTarget &target)
{
    if (!m_outcome.valid() || hostPath != m_path || !(target == m_target))
        return std::nullopt;
    const Outcome outcome = m_outcome.get();
    m_outcome = {};
    m_path.clear();
    if (!outcome.result.ok() || !outcome.before.exists() || outcome.before != outcome.after)
        return std::nullopt;
    if (stampOf(hostPath) != outcome.before)
        return std::nullopt; // replaced or changed since it was read
    return outcome.result.picture;
}

std::optional<picture::Picture> readForShow(DecodeAhead &ahead, const QString &hostPath, const ShowTarget &target)
{
    if (std::optional<picture::Picture> decoded = ahead.take(hostPath, target))
        return decoded;
    picture::LoadResult read = loadForShow(hostPath, target);
    if (!read.ok())
        return std::nullopt;
    return std::move(read.picture);
}

} // namespace slideshow
