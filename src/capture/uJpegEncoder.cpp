#include "uJpegEncoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

constexpr qsizetype kInitialBuffer = 256 * 1024;

struct TErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void errorExit(j_common_ptr cinfo)
{
    auto *err = reinterpret_cast<TErrorManager *>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void silentOutput(j_common_ptr) {}

// A destination that grows a QByteArray, which the encoder keeps between calls.
struct TDestination {
    jpeg_destination_mgr base;
    QByteArray *data;
};

void initDestination(j_compress_ptr cinfo)
{
    auto *dest = reinterpret_cast<TDestination *>(cinfo->dest);
    if (dest->data->size() < kInitialBuffer)
        dest->data->resize(kInitialBuffer);
    dest->base.next_output_byte = reinterpret_cast<JOCTET *>(dest->data->data());
    dest->base.free_in_buffer = size_t(dest->data->size());
}

boolean emptyOutputBuffer(j_compress_ptr cinfo)
{
    auto *dest = reinterpret_cast<TDestination *>(cinfo->dest);
    const qsizetype used = dest->data->size();
    dest->data->resize(used * 2);
    dest->base.next_output_byte = reinterpret_cast<JOCTET *>(dest->data->data()) + used;
    dest->base.free_in_buffer = size_t(dest->data->size() - used);
    return TRUE;
}

void termDestination(j_compress_ptr cinfo)
{
    auto *dest = reinterpret_cast<TDestination *>(cinfo->dest);
    dest->data->resize(dest->data->size() - qsizetype(dest->base.free_in_buffer));
}

J_COLOR_SPACE colourSpaceOf(QImage::Format format)
{
    if (format == QImage::Format_RGB888)
        return JCS_RGB;
    // RGB32 is one 0xffRRGGBB word per pixel.
    return Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;
}

} // namespace

int JpegQuality(int setting)
{
    return std::clamp(setting & 0xFF, 1, 100);
}

struct TJpegEncoder::TState {
    jpeg_compress_struct cinfo{};
    TErrorManager err{};
    TDestination dest{};
};

TJpegEncoder::TJpegEncoder() : m_state(std::make_unique<TState>())
{
    TState &s = *m_state;
    s.cinfo.err = jpeg_std_error(&s.err.base);
    s.err.base.error_exit = errorExit;
    s.err.base.output_message = silentOutput;
    jpeg_create_compress(&s.cinfo);
    s.dest.base.init_destination = initDestination;
    s.dest.base.empty_output_buffer = emptyOutputBuffer;
    s.dest.base.term_destination = termDestination;
    s.dest.data = &m_data;
    s.cinfo.dest = &s.dest.base;
}

TJpegEncoder::~TJpegEncoder()
{
    jpeg_destroy_compress(&m_state->cinfo);
}

namespace {

// Kept free of C++ objects with destructors, since libjpeg's errors leave it
// through longjmp.
bool compress(jpeg_compress_struct *cinfo, TErrorManager *err, const QImage *image, int quality,
              const std::vector<TJpegMarker> *markers)
{
    if (setjmp(err->jump)) {
        jpeg_abort_compress(cinfo);
        return false;
    }
    cinfo->image_width = JDIMENSION(image->width());
    cinfo->image_height = JDIMENSION(image->height());
    cinfo->in_color_space = colourSpaceOf(image->format());
    cinfo->input_components = image->format() == QImage::Format_RGB888 ? 3 : 4;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    for (const TJpegMarker &marker : *markers)
        jpeg_write_marker(cinfo, marker.code,
                          reinterpret_cast<const JOCTET *>(marker.data.constData()),
                          unsigned(marker.data.size()));
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image->constScanLine(int(cinfo->next_scanline)));
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

} // namespace

bool TJpegEncoder::Encode(const QImage &image, int quality, const std::vector<TJpegMarker> &markers,
                          QString *error)
{
    m_data.resize(0); // keeps the buffer for the next image
    if (image.isNull()) {
        if (error)
            *error = QStringLiteral("there is no picture to compress");
        return false;
    }
    const bool direct =
        image.format() == QImage::Format_RGB888 || image.format() == QImage::Format_RGB32;
    const QImage source = direct ? image : image.convertToFormat(QImage::Format_RGB888);
    TState &s = *m_state;
    if (!compress(&s.cinfo, &s.err, &source, JpegQuality(quality), &markers)) {
        m_data.resize(0);
        if (error)
            *error = QString::fromLocal8Bit(s.err.message);
        return false;
    }
    return true;
}
