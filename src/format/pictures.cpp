#include "format/pictures.h"

// jpeglib.h uses FILE without including <cstdio>, and jerror.h relies on the
// types of jpeglib.h: the order matters.
// clang-format off
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

#include <QBuffer>
#include <QImageReader>
#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdlib>

namespace quorrel {

// Object pictures are small sprites; a forged header must not make 50 of them
// ask for gigabytes (a run-length bitmap can claim any size in a few bytes).
constexpr int MAX_BMP_SIDE = 8192;
constexpr long long MAX_BMP_PIXELS = 4LL * 1024 * 1024;

QImage decode_bmp(std::string_view bytes) {
    if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT32_MAX)) return QImage();
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "BMP");
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > MAX_BMP_SIDE || size.height() > MAX_BMP_SIDE ||
        static_cast<long long>(size.width()) * size.height() > MAX_BMP_PIXELS)
        return QImage();
    QImage image;
    if (!reader.read(&image)) return QImage();
    return image.convertToFormat(QImage::Format_RGB32);
}

std::string encode_bmp(const QImage& image) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.convertToFormat(QImage::Format_RGB32).save(&buffer, "BMP")) return {};
    return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// jump back to the decoding function instead of letting the library exit.
struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

[[noreturn]] void jpeg_fail(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegError*>(cinfo->err)->jump, 1);
}

// Warnings are silent, except that a file ending early is taken as damage
// rather than decoded into a picture padded with grey.
void jpeg_message(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) jpeg_fail(cinfo);
}
void jpeg_quiet(j_common_ptr) {}

// Largest background accepted: far beyond any screen, small enough that a
// forged header cannot ask for gigabytes.
constexpr long long MAX_JPEG_PIXELS = 64LL * 1024 * 1024;
constexpr unsigned MAX_JPEG_SIDE = 32768;

// Runs the decoder; any libjpeg error lands on the setjmp. Only trivially
// destructible locals live in this frame, so the jump skips no destructor;
// the picture lives in the caller.
bool run_jpeg_decoder(jpeg_decompress_struct* cinfo, JpegError* err, std::string_view bytes, QImage* out) {
    if (setjmp(err->jump)) return false;
    jpeg_mem_src(cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(cinfo, TRUE);
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    if (cinfo->image_width == 0 || cinfo->image_height == 0 || cinfo->image_width > MAX_JPEG_SIDE ||
        cinfo->image_height > MAX_JPEG_SIDE ||
        static_cast<long long>(cinfo->image_width) * cinfo->image_height > MAX_JPEG_PIXELS)
        return false;
    jpeg_start_decompress(cinfo);
    const int w = static_cast<int>(cinfo->output_width);
    const int h = static_cast<int>(cinfo->output_height);
    const int channels = cinfo->output_components;
    if (channels != (cmyk ? 4 : 3)) return false;
    *out = QImage(w, h, QImage::Format_RGB32);
    if (out->isNull()) return false;
    JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                 static_cast<JDIMENSION>(w * channels), 1);
    while (cinfo->output_scanline < cinfo->output_height) {
        const int y = static_cast<int>(cinfo->output_scanline);
        jpeg_read_scanlines(cinfo, row, 1);
        QRgb* dst = reinterpret_cast<QRgb*>(out->scanLine(y));
        const JSAMPLE* src = row[0];
        for (int x = 0; x < w; ++x, src += channels) {
            if (cmyk) {
                // Stored inverted, as the common writers of CMYK JPEG files do.
                const int k = src[3];
                dst[x] = qRgb(src[0] * k / 255, src[1] * k / 255, src[2] * k / 255);
            } else {
                dst[x] = qRgb(src[0], src[1], src[2]);
            }
        }
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

}  // namespace

QImage decode_jpeg(std::string_view bytes) {
    if (bytes.empty()) return QImage();
    QImage out;
    jpeg_decompress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = jpeg_fail;
    err.mgr.emit_message = jpeg_message;
    err.mgr.output_message = jpeg_quiet;
    jpeg_create_decompress(&cinfo);
    const bool ok = run_jpeg_decoder(&cinfo, &err, bytes, &out);
    jpeg_destroy_decompress(&cinfo);
    return ok ? out : QImage();
}

namespace {

bool run_jpeg_encoder(jpeg_compress_struct* cinfo, JpegError* err, const QImage* image, unsigned char** buffer,
                      unsigned long* size) {
    if (setjmp(err->jump)) return false;
    jpeg_mem_dest(cinfo, buffer, size);
    cinfo->image_width = static_cast<JDIMENSION>(image->width());
    cinfo->image_height = static_cast<JDIMENSION>(image->height());
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, 90, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    const int w = image->width();
    JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                 static_cast<JDIMENSION>(w * 3), 1);
    while (cinfo->next_scanline < cinfo->image_height) {
        const QRgb* src = reinterpret_cast<const QRgb*>(image->constScanLine(static_cast<int>(cinfo->next_scanline)));
        JSAMPLE* dst = row[0];
        for (int x = 0; x < w; ++x) {
            *dst++ = static_cast<JSAMPLE>(qRed(src[x]));
            *dst++ = static_cast<JSAMPLE>(qGreen(src[x]));
            *dst++ = static_cast<JSAMPLE>(qBlue(src[x]));
        }
        jpeg_write_scanlines(cinfo, row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

}  // namespace

std::string encode_jpeg(const QImage& image) {
    if (image.isNull()) return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    jpeg_compress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = jpeg_fail;
    err.mgr.output_message = jpeg_quiet;
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok = run_jpeg_encoder(&cinfo, &err, &rgb, &buffer, &size);
    jpeg_destroy_compress(&cinfo);
    std::string out;
    if (ok && buffer) out.assign(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return out;
}

}  // namespace quorrel
