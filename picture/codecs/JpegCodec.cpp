#include "picture/codecs/Codecs.h"

#include <QColorSpace>
#include <QTransform>

#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace picture::codecs {

namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void onError(j_common_ptr cinfo)
{
    auto *manager = reinterpret_cast<ErrorManager *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

// libjpeg reports damaged data (a truncated file, junk between segments, bad
// Huffman codes) only as warnings and goes on with grey or repeated blocks;
// Qt's reader then shows such a file as if it were fine. We refuse it, except
// for the few warnings that do not concern the pixels.
void onMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return; // trace output
    switch (cinfo->err->msg_code) {
    case JWRN_EXTRANEOUS_DATA: // junk between segments, which libjpeg skips cleanly
    case JWRN_JFIF_MAJOR:
    case JWRN_ADOBE_XFORM:
    case JWRN_BOGUS_ICC:
        return;
    default:
        onError(cinfo);
    }
}

// The EXIF orientation (1 to 8) from an APP1 segment, or 1.
int exifOrientation(const jpeg_saved_marker_ptr markers)
{
    for (jpeg_saved_marker_ptr m = markers; m; m = m->next) {
        if (m->marker != JPEG_APP0 + 1 || m->data_length < 14 || memcmp(m->data, "Exif\0\0", 6) != 0)
            continue;
        const uint8_t *tiff = m->data + 6;
        const qint64 size = qint64(m->data_length) - 6;
        const bool little = tiff[0] == 'I' && tiff[1] == 'I';
        if (!little && !(tiff[0] == 'M' && tiff[1] == 'M'))
            continue;
        auto u16 = [&](qint64 o) -> uint32_t {
            if (o < 0 || o + 2 > size)
                return 0;
            return little ? tiff[o] | tiff[o + 1] << 8 : tiff[o] << 8 | tiff[o + 1];
        };
        auto u32 = [&](qint64 o) -> uint32_t { return little ? u16(o) | u16(o + 2) << 16 : u16(o) << 16 | u16(o + 2); };
        const qint64 ifd = u32(4);
        const uint32_t count = u16(ifd);
        for (uint32_t i = 0; i < count; ++i) {
            const qint64 entry = ifd + 2 + qint64(i) * 12;
            if (entry + 12 > size)
                break;
            const uint32_t type = u16(entry + 2);
            if (u16(entry) == 0x0112 && (type == 3 /* SHORT */ || type == 4 /* LONG */ || type == 9 /* SLONG */)) {
                const uint32_t value = type == 3 ? u16(entry + 8) : u32(entry + 8);
                return value >= 1 && value <= 8 ? int(value) : 1;
            }
        }
    }
    return 1;
}

// An Adobe segment shorter than its fixed 12 bytes: the segment lengths of
// the file no longer match its content.
bool hasTruncatedAdobeSegment(const jpeg_saved_marker_ptr markers)
{
    for (jpeg_saved_marker_ptr m = markers; m; m = m->next)
        if (m->marker == JPEG_APP0 + 14 && m->data_length >= 5 && m->data_length < 12 && memcmp(m->data, "Adobe", 5) == 0)
            return true;
    return false;
}

QImage orient(QImage image, int orientation)
{
    switch (orientation) {
    case 2: return image.mirrored(true, false);
    case 3: return image.transformed(QTransform().rotate(180));
    case 4: return image.mirrored(false, true);
    case 5: return image.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6: return image.transformed(QTransform().rotate(90));
    case 7: return image.transformed(QTransform().rotate(270)).mirrored(true, false);
    case 8: return image.transformed(QTransform().rotate(270));
    default: return image;
    }
}

void cmykToRgb(const uint8_t *cmyk, QRgb *out, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, cmyk += 4) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted)
            c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        out[x] = qRgb(c * k / 255, m * k / 255, y * k / 255);
    }
}

} // namespace

bool looksLikeJpeg(const QByteArray &data)
{
    return data.size() >= 3 && uint8_t(data[0]) == 0xff && uint8_t(data[1]) == 0xd8 && uint8_t(data[2]) == 0xff;
}

Decoded decodeJpeg(const QByteArray &data, const std::function<QSize(QSize)> &shownSize)
{
    // Everything with a destructor lives outside the setjmp scope, so that a
    // longjmp from libjpeg skips no destructor.
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
    QImage image;
    QString failure;
    std::vector<uint8_t> row;
    JOCTET *icc = nullptr;
    unsigned int iccLength = 0;
    int orientation = 1;
    QSize natural, stored, target;

    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = onError;
    errors.pub.emit_message = onMessage;
    errors.message[0] = 0;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        std::free(icc);
        return Decoded::failure(QStringLiteral("unreadable JPEG data: %1").arg(QString::fromLatin1(errors.message)));
    }
    jpeg_create_decompress(&cinfo);
    // libjpeg's own buffers (a progressive file keeps all its coefficients) stay
    // within the same bound as our images; beyond it libjpeg fails cleanly.
    cinfo.mem->max_memory_to_use = long(kMaxDecodedBytes);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char *>(data.constData()), (unsigned long)(data.size()));
    jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xffff);
    jpeg_save_markers(&cinfo, JPEG_APP0 + 2, 0xffff);
    jpeg_save_markers(&cinfo, JPEG_APP0 + 14, 0xffff);
    jpeg_read_header(&cinfo, TRUE);
    if (hasTruncatedAdobeSegment(cinfo.marker_list)) {
        jpeg_destroy_decompress(&cinfo);
        return Decoded::failure(QStringLiteral("damaged JPEG data: truncated Adobe segment"));
    }

    orientation = exifOrientation(cinfo.marker_list);
    stored = QSize(int(cinfo.image_width), int(cinfo.image_height));
    natural = orientation >= 5 ? stored.transposed() : stored;
    target = shownSize ? shownSize(natural) : QSize();
    if (target.isEmpty() || target.width() > natural.width() || target.height() > natural.height())
        target = natural;
    if (orientation >= 5)
        target = target.transposed();

    // libjpeg-turbo decodes at M/8 of the size directly in the DCT; take the
    // smallest M that still gives at least the target's pixels.
    cinfo.scale_denom = 8;
    cinfo.scale_num = 8;
    const auto scaledSide = [&](JDIMENSION side, unsigned m) { return (qint64(side) * m + 7) / 8; };
    for (unsigned m = 1; m < 8; ++m) {
        if (scaledSide(cinfo.image_width, m) >= target.width() && scaledSide(cinfo.image_height, m) >= target.height()) {
            cinfo.scale_num = m;
            break;
        }
    }
    // Only 1/8, 2/8, 4/8 and 8/8 have vector transforms; the others use plain
    // C ones, and for subsampled chroma planes transforms of twice their size
    // (3/8 decodes the chroma with a 6 x 6 transform, 6/8 with a 12 x 12). A
    // 6000 x 4000 photograph (4:2:0) took 77 ms at 3/8 against 65 ms at 4/8,
    // and 200 ms at 6/8 against 125 ms at 8/8, so the next power of two is
    // taken, unless its larger image would exceed the decode limit.
    if (const unsigned up = std::bit_ceil(cinfo.scale_num); up != cinfo.scale_num
        && fitsDecodeLimit(scaledSide(cinfo.image_width, up), scaledSide(cinfo.image_height, up)))
        cinfo.scale_num = up;

    if (cinfo.scale_num < 8) {
        // The result is smoothed down to the shown size anyway: the faster
        // integer transform and plain chroma upsampling cost nothing visible.
        cinfo.dct_method = JDCT_IFAST;
        cinfo.do_fancy_upsampling = FALSE;
    }

    QImage::Format format;
    switch (cinfo.num_components) {
    case 1:
        cinfo.out_color_space = JCS_GRAYSCALE;
        format = QImage::Format_Grayscale8;
        break;
    case 3:
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        cinfo.out_color_space = JCS_EXT_BGRX;
#else
        cinfo.out_color_space = JCS_EXT_XRGB;
#endif
        format = QImage::Format_RGB32;
        break;
    case 4:
        cinfo.out_color_space = JCS_CMYK;
        format = QImage::Format_RGB32;
        break;
    default:
        jpeg_destroy_decompress(&cinfo);
        return Decoded::failure(QStringLiteral("JPEG with %1 colour components is not supported").arg(cinfo.num_components));
    }
    jpeg_calc_output_dimensions(&cinfo);
    if (!fitsDecodeLimit(cinfo.output_width, cinfo.output_height)) {
        jpeg_destroy_decompress(&cinfo);
        return Decoded::failure(QStringLiteral("the picture is too large to show at full size (%1 x %2)")
                                    .arg(natural.width())
                                    .arg(natural.height()));
    }
    image = QImage(int(cinfo.output_width), int(cinfo.output_height), format);
    if (image.isNull()) {
        jpeg_destroy_decompress(&cinfo);
        return Decoded::failure(QStringLiteral("not enough memory for %1 x %2 pixels").arg(cinfo.output_width).arg(cinfo.output_height));
    }
    jpeg_start_decompress(&cinfo);
    if (cinfo.out_color_space == JCS_CMYK)
        row.resize(size_t(cinfo.output_width) * 4);
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = int(cinfo.output_scanline);
        if (cinfo.out_color_space == JCS_CMYK) {
            JSAMPROW rows[1] = {row.data()};
            jpeg_read_scanlines(&cinfo, rows, 1);
            cmykToRgb(row.data(), reinterpret_cast<QRgb *>(image.scanLine(y)), image.width(), cinfo.saw_Adobe_marker);
        } else {
            JSAMPROW rows[1] = {image.scanLine(y)};
            jpeg_read_scanlines(&cinfo, rows, 1);
        }
    }
    if (jpeg_read_icc_profile(&cinfo, &icc, &iccLength) && icc) {
        const QColorSpace space = QColorSpace::fromIccProfile(QByteArray(reinterpret_cast<const char *>(icc), int(iccLength)));
        if (space.isValid())
            image.setColorSpace(space);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::free(icc);
    icc = nullptr;

    if (image.size() != target)
        image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image = orient(std::move(image), orientation);
    return {std::move(image), natural, {}};
}

} // namespace picture::codecs
