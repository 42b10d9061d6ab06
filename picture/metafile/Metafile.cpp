// The metafile player: WMF (placeable or not, versions 0x0100 and 0x0300)
// and EMF (including EMF+ dual files, whose GDI records are drawn).
//
// What a damaged file does. load() walks the whole record list and then
// plays every record once without a painter. It fails with an error when
// the header is unsound, when a record's size leaves the file (a truncated
// file), or when a record's contents contradict its size (a count, offset or
// bitmap that does not fit the record). Records we do not know are skipped,
// and calls that GDI itself would refuse (an unknown object index, a
// restore below the stack) change nothing, as they do on Windows. play()
// decodes the same records with the same checks; should it still meet a
// damaged record, drawing stops there and what was drawn stays. Every play
// is bounded: the object table, save depth, path size, bitmap size and a
// total work budget (points, pixels, glyphs) are capped in Limits, and
// drawing stops when the budget is spent.
//
// Natural size, at 96 pixels per inch: a placeable WMF from its bounds and
// units per inch; an EMF from its frame (hundredths of a millimetre); a
// plain WMF from the first window extent it sets, in pixels, or in twips
// when the extent is larger than 2048 units; a plain WMF that sets no
// window is sized by what it draws (at most 4096 pixels on the longer side,
// 256 x 256 when it draws nothing).

#include "picture/metafile/Metafile.h"

#include "picture/metafile/Formats.h"
#include "picture/metafile/Player.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace picture::metafile {

namespace {

class MetafileDrawing final : public Drawing {
public:
    explicit MetafileDrawing(Parsed parsed) : m_file(std::move(parsed)) {}

    QSize naturalSize() const override { return m_file.naturalSize; }

    void play(QPainter &painter, const QRectF &target) const override
    {
        const QRectF frame = m_file.frame;
        if (!(target.width() > 0) || !(target.height() > 0) || !(frame.width() > 0) || !(frame.height() > 0))
            return;
        const QTransform deviceToTarget = QTransform::fromTranslate(-frame.x(), -frame.y())
            * QTransform::fromScale(target.width() / frame.width(), target.height() / frame.height())
            * QTransform::fromTranslate(target.x(), target.y());
        painter.save();
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
        if (m_file.emf)
            playEmf(m_file, &painter, deviceToTarget);
        else
            playWmf(m_file, &painter, deviceToTarget);
        painter.restore();
    }

private:
    Parsed m_file;
};

} // namespace

bool looksLikeMetafile(const QByteArray &data)
{
    return isPlaceableWmf(data) || isPlainWmf(data) || isEmf(data);
}

std::shared_ptr<const Drawing> load(const QByteArray &data, QString *error)
{
    QString message;
    Parsed parsed;
    bool ok = false;
    if (isEmf(data))
        ok = parseEmf(data, &parsed, &message);
    else if (isPlaceableWmf(data) || isPlainWmf(data))
        ok = parseWmf(data, &parsed, &message);
    else
        message = QStringLiteral("not a Windows metafile or enhanced metafile");

    if (ok) {
        const PlayResult dry = parsed.emf ? playEmf(parsed, nullptr, QTransform()) : playWmf(parsed, nullptr, QTransform());
        if (dry.damagedRecord >= 0) {
            message = dry.damage;
            ok = false;
        } else if (!parsed.emf && !parsed.hasInitialWindow) {
            QRectF frame = dry.drawnBounds;
            if (!(frame.width() >= 1 && frame.height() >= 1))
                frame = QRectF(0, 0, 256, 256);
            parsed.frame = frame;
            const double scale = std::min(1.0, 4096 / std::max(frame.width(), frame.height()));
            parsed.naturalSize = QSize(std::max(1, int(std::lround(frame.width() * scale))),
                                       std::max(1, int(std::lround(frame.height() * scale))));
        }
    }
    if (!ok) {
        if (error)
            *error = message;
        return nullptr;
    }
    return std::make_shared<MetafileDrawing>(std::move(parsed));
}

} // namespace picture::metafile
