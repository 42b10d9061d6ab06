// libFuzzer entry, differential: a bitmap file read reduced (k x k block
// averages, smoothed to the shown size) against the full decode smoothed to
// the same size. Both must accept and refuse the same files, with the same
// reason, and agree on the pixels as far as the two ways of averaging allow:
//
//  - shown size times k equal to the natural size in both directions: the
//    reduced decode is exactly the k x k block averages and the smooth scale
//    by k averages the same blocks, so every channel agrees within
//    kExactSlack (the scaler's fixed-point weights against our rounded sums);
//  - any other shown size: the smooth scale's footprints do not line up with
//    the blocks (and the last, narrower block is smoothed as a whole one), so
//    on detailed content the two may differ by most of the local contrast.
//    Each reduced pixel is then still an average of the pixels under it: it
//    must lie, channel by channel, within the range of the full picture over
//    the blocks its footprint touches (averages of averages never leave it,
//    rounding included). A flat neighbourhood
//    therefore has to come out as itself, and a wrong row, column, channel or
//    colour shows up as a value outside the pixels it came from.
//
// The file is also read reduced a few rows at a time (as the loader reads a
// file on disk), padded past the size where that reader takes over: when it
// gives a picture, it must be the in-memory reduced one, bit for bit.
// A disagreement prints what differed and aborts.
#include "FuzzSupport.h"
#include "picture/Loader.h"
#include "picture/codecs/Codecs.h"

#include <QBuffer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace picture::codecs;

namespace {

constexpr int kExactSlack = 1;
// Mirrors the decoder's largest block; a larger reduction is smoothed on.
constexpr int kMaxBlock = 255;
// The streaming reader takes only files larger than its 64 KiB head.
constexpr qsizetype kStreamedSize = 64 * 1024 + 1;

[[noreturn]] void differs(const char *what, QSize natural, QSize shown, const QString &detail = {})
{
    std::fprintf(stderr, "reduced bitmap decode differs from the full one: %s (natural %d x %d, shown %d x %d) %s\n",
                 what, natural.width(), natural.height(), shown.width(), shown.height(), qPrintable(detail));
    std::abort();
}

int channel(QRgb c, int i)
{
    return i == 0 ? qRed(c) : i == 1 ? qGreen(c) : qBlue(c);
}

// The source pixels [first, last] of one output pixel along one direction:
// the union of the smooth scale's footprint and the blocks the reduced
// picture's footprint covers. The scaler steps in 16.16 fixed point, cut
// short, so a footprint may start one of its source pixels early: one pixel
// of the full picture, one block of the reduced one.
struct Span {
    int first;
    int last;
};

std::vector<Span> spans(int natural, int shown, int k)
{
    const qint64 reduced = (natural + k - 1) / k;
    std::vector<Span> out(static_cast<size_t>(shown));
    for (qint64 x = 0; x < shown; ++x) {
        const qint64 fullFirst = x * natural / shown, fullEnd = ((x + 1) * natural + shown - 1) / shown;
        const qint64 blockFirst = x * reduced / shown, blockEnd = ((x + 1) * reduced + shown - 1) / shown;
        const qint64 first = std::min(fullFirst - 1, (blockFirst - 1) * k);
        const qint64 end = std::max(fullEnd + 1, std::min<qint64>((blockEnd + 1) * k, natural));
        out[size_t(x)] = {int(std::max<qint64>(0, first)), int(std::min<qint64>(natural, end) - 1)};
    }
    return out;
}

void compareExact(const QImage &full, const QImage &reduced, QSize natural)
{
    const QImage scaled = full.scaled(reduced.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (int y = 0; y < reduced.height(); ++y)
        for (int x = 0; x < reduced.width(); ++x)
            for (int i = 0; i < 3; ++i) {
                const int ours = channel(reduced.pixel(x, y), i), theirs = channel(scaled.pixel(x, y), i);
                if (std::abs(ours - theirs) > kExactSlack)
                    differs("a block average", natural, reduced.size(),
                            QStringLiteral("at %1,%2 channel %3: %4 against %5").arg(x).arg(y).arg(i).arg(ours).arg(theirs));
            }
}

// The least and the most of each channel over some pixels.
struct Range {
    int low[3] = {255, 255, 255};
    int high[3] = {0, 0, 0};
    void add(QRgb c)
    {
        for (int i = 0; i < 3; ++i) {
            low[i] = std::min(low[i], channel(c, i));
            high[i] = std::max(high[i], channel(c, i));
        }
    }
    void add(const Range &r)
    {
        for (int i = 0; i < 3; ++i) {
            low[i] = std::min(low[i], r.low[i]);
            high[i] = std::max(high[i], r.high[i]);
        }
    }
};

void compareWithinRange(const QImage &full, const QImage &reduced, QSize natural, int k)
{
    const std::vector<Span> columns = spans(natural.width(), reduced.width(), k);
    const std::vector<Span> rows = spans(natural.height(), reduced.height(), k);
    // The ranges of the full picture's k x k blocks, so that each reduced
    // pixel looks at a few blocks rather than at every pixel of its spans;
    // whole blocks only widen the range a little.
    const int across = (natural.width() + k - 1) / k, down = (natural.height() + k - 1) / k;
    std::vector<Range> blocks(size_t(across) * size_t(down));
    for (int y = 0; y < natural.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(full.constScanLine(y));
        for (int x = 0; x < natural.width(); ++x)
            blocks[size_t(y / k) * size_t(across) + size_t(x / k)].add(line[x]);
    }
    for (int y = 0; y < reduced.height(); ++y)
        for (int x = 0; x < reduced.width(); ++x) {
            Range under;
            for (int by = rows[size_t(y)].first / k; by <= rows[size_t(y)].last / k; ++by)
                for (int bx = columns[size_t(x)].first / k; bx <= columns[size_t(x)].last / k; ++bx)
                    under.add(blocks[size_t(by) * size_t(across) + size_t(bx)]);
            for (int i = 0; i < 3; ++i) {
                const int ours = channel(reduced.pixel(x, y), i);
                if (ours < under.low[i] || ours > under.high[i])
                    differs("a pixel outside the pixels under it", natural, reduced.size(),
                            QStringLiteral("at %1,%2 channel %3: %4 outside %5..%6")
                                .arg(x).arg(y).arg(i).arg(ours).arg(under.low[i]).arg(under.high[i]));
            }
        }
}

// The reduced decode of `bytes` for `shown` against the full decode `full`.
Decoded checkReduced(const QByteArray &bytes, const Decoded &full, QSize shown)
{
    const QSize natural = full.natural;
    const Decoded reduced = decodeBmp(bytes, DibKind::File, [&](QSize) { return shown; });
    if (reduced.ok() != full.ok() || reduced.error != full.error)
        differs("accepted or refused differently", natural, shown,
                QStringLiteral("full: \"%1\", reduced: \"%2\"").arg(full.error, reduced.error));
    if (!full.ok())
        return reduced;
    if (reduced.natural != natural)
        differs("the natural size", natural, shown);
    if (reduced.image.size() == natural) { // not read reduced: the same decode
        if (reduced.image != full.image)
            differs("a decode that was not reduced", natural, shown);
        return reduced;
    }
    if (reduced.image.size() != shown)
        differs("the size of the reduced picture", natural, shown);
    if (full.image.hasAlphaChannel())
        differs("a picture with transparency read reduced", natural, shown);
    const int k = std::min({natural.width() / shown.width(), natural.height() / shown.height(), kMaxBlock});
    if (shown * k == natural)
        compareExact(full.image, reduced.image, natural);
    else
        compareWithinRange(full.image, reduced.image, natural, k);
    return reduced;
}

// The shown sizes tried for a picture of `natural` pixels: every whole
// block width that divides both sides (the smallest and the largest), a
// third, and what the viewer asks for in a small pane, fitted and stretched.
std::vector<QSize> shownSizes(QSize natural)
{
    std::vector<QSize> sizes;
    const int w = natural.width(), h = natural.height();
    int smallest = 0, largest = 0;
    for (int k = 2; k <= std::min({w, h, kMaxBlock}); ++k)
        if (w % k == 0 && h % k == 0) {
            smallest = smallest ? smallest : k;
            largest = k;
        }
    for (const int k : {smallest, largest})
        if (k)
            sizes.push_back(natural / k);
    sizes.push_back(QSize(std::max(1, w / 3), std::max(1, h / 3)));
    using picture::DecodeSize;
    for (const DecodeSize &pane : {DecodeSize::within({97, 61}), DecodeSize::within(natural * 2 / 5),
                                   DecodeSize::exactly({13, 40})})
        sizes.push_back(picture::decodedSize(pane, natural));
    std::sort(sizes.begin(), sizes.end(), [](QSize a, QSize b) { return std::pair(a.width(), a.height()) < std::pair(b.width(), b.height()); });
    sizes.erase(std::unique(sizes.begin(), sizes.end()), sizes.end());
    std::erase_if(sizes, [](QSize s) { return s.isEmpty(); });
    return sizes;
}

// Every shown size of `bytes`; with `streamed`, the file read a few rows
// at a time as well.
void checkFile(const QByteArray &bytes, bool streamed)
{
    const Decoded full = decodeBmp(bytes, DibKind::File);
    // A refused file is refused for any shown size; two sizes are enough.
    const std::vector<QSize> sizes = full.ok() ? shownSizes(full.natural) : std::vector<QSize>{{1, 1}, {7, 5}};
    for (const QSize shown : sizes) {
        const Decoded reduced = checkReduced(bytes, full, shown);
        if (!streamed)
            continue;
        QByteArray copy = bytes;
        QBuffer file(&copy);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const std::optional<Decoded> rows = decodeBmpReduced(file, [&](QSize) { return shown; });
        if (!rows)
            continue;
        if (!rows->ok() || !reduced.ok())
            differs("the streaming reader accepted what the decoder refuses", full.natural, shown, reduced.error);
        if (rows->natural != reduced.natural || rows->image != reduced.image)
            differs("the streaming reader's picture", full.natural, shown);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzing::bytesOf(data, size);
    if (!bytes.startsWith("BM"))
        return 0;
    checkFile(bytes, false);
    // Bytes after the pixels are ignored, and a truncated file may become a
    // whole one: the padded file is a file of its own, checked as one.
    QByteArray padded(bytes.constData(), bytes.size());
    padded.append(QByteArray(std::max<qsizetype>(0, kStreamedSize - padded.size()), '\0'));
    checkFile(padded, true);
    return 0;
}
