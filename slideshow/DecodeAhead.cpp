#include "slideshow/DecodeAhead.h"

#include <QDateTime>
#include "platform/HostPath.h"

#include <QPainter>

#include <algorithm>

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

// Held by a decoded picture from the moment its decode begins until it is
// taken or thrown away.
struct DecodeAhead::Permit {
    explicit Permit(std::shared_ptr<QSemaphore> permits) : m_permits(std::move(permits)) { m_permits->acquire(); }
    ~Permit() { m_permits->release(); }
    Permit(const Permit &) = delete;
    Permit &operator=(const Permit &) = delete;

private:
    std::shared_ptr<QSemaphore> m_permits;
};

DecodeAhead::DecodeAhead(Reader read)
    : m_read(std::move(read)), m_permits(std::make_shared<QSemaphore>(Workers))
{
    m_pool.setMaxThreadCount(Workers);
}

DecodeAhead::~DecodeAhead()
{
    for (const Job &job : m_jobs)
        job.wanted->store(false);
    m_jobs.clear();
    m_pool.waitForDone();
}

DecodeAhead::Job DecodeAhead::start(const QString &hostPath, const ShowTarget &target)
{
    auto wanted = std::make_shared<std::atomic<bool>>(true);
    auto task = std::make_shared<std::packaged_task<Outcome()>>(
        [read = m_read, permits = m_permits, lastNs = m_lastDecodeNs, hostPath, target, wanted] {
            Outcome outcome;
            if (!wanted->load())
                return outcome; // dropped before it began
            // Waits while two decoded pictures are held: one dropped while
            // under way still holds its place until it is done.
            outcome.permit = std::make_shared<Permit>(permits);
            if (!wanted->load())
                return outcome;
            const auto began = std::chrono::steady_clock::now();
            outcome.before = stampOf(hostPath);
            outcome.result = read(hostPath, target);
            outcome.after = stampOf(hostPath);
            lastNs->store(std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - began).count());
            return outcome;
        });
    Job job{hostPath, target, wanted, task->get_future().share()};
    m_pool.start([task] { (*task)(); });
    return job;
}

std::vector<DecodeAhead::Job>::const_iterator DecodeAhead::find(const QString &hostPath, const ShowTarget &target) const
{
    return std::find_if(m_jobs.cbegin(), m_jobs.cend(),
                        [&](const Job &job) { return job.path == hostPath && job.target == target; });
}

void DecodeAhead::request(const QStringList &hostPaths, const ShowTarget &target)
{
    std::vector<Job> needed;
    for (const QString &path : hostPaths) {
        if (int(needed.size()) == Workers)
            break;
        if (std::any_of(needed.cbegin(), needed.cend(), [&](const Job &job) { return job.path == path; }))
            continue;
        if (const auto held = find(path, target); held != m_jobs.cend()) {
            needed.push_back(*held);
            m_jobs.erase(held);
        } else {
            needed.push_back(start(path, target));
        }
    }
    for (const Job &dropped : m_jobs)
        dropped.wanted->store(false);
    m_jobs = std::move(needed);
}

QString DecodeAhead::pendingPath() const
{
    return m_jobs.empty() ? QString() : m_jobs.front().path;
}

bool DecodeAhead::isReady() const
{
    return !m_jobs.empty() && m_jobs.front().outcome.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

bool DecodeAhead::isDecoding(const QString &hostPath, const ShowTarget &target) const
{
    const auto job = find(hostPath, target);
    return job != m_jobs.cend() && job->outcome.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

std::optional<picture::Picture> DecodeAhead::take(const QString &hostPath, const ShowTarget &target)
{
    const auto job = find(hostPath, target);
    if (job == m_jobs.cend())
        return std::nullopt;
    const std::shared_future<Outcome> pending = job->outcome;
    m_jobs.erase(job);
    const Outcome &outcome = pending.get();
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
