#include "imaging/jpeg/JpegDecoder.h"

#include "imaging/base/DecodeLimits.h"
#include "imaging/base/Messages.h"
#include "imaging/base/Orientation.h"
#include "imaging/jpeg/ExifOrientation.h"
#include "imaging/jpeg/JpegJob.h"
#include "imaging/jpeg/JpegPreview.h"
#include "imaging/jpeg/JpegScale.h"

namespace mv::imaging {

namespace {

J_DCT_METHOD dctOf(DctMethod method)
{
    switch (method) {
    case DctMethod::SlowInteger: return JDCT_ISLOW;
    case DctMethod::FloatingPoint: return JDCT_FLOAT;
    case DctMethod::FastInteger: break;
    }
    return JDCT_IFAST;
}

J_DITHER_MODE ditherOf(JpegDither dither)
{
    switch (dither) {
    case JpegDither::Ordered: return JDITHER_ORDERED;
    case JpegDither::FloydSteinberg: return JDITHER_FS;
    case JpegDither::None: break;
    }
    return JDITHER_NONE;
}

// The orientation of the first EXIF block among the saved APP1 segments (XMP uses APP1 too).
int orientationOf(const jpeg_decompress_struct& c)
{
    for (jpeg_saved_marker_ptr m = c.marker_list; m; m = m->next) {
        const QByteArrayView payload(reinterpret_cast<const char*>(m->data), qsizetype(m->data_length));
        if (m->marker == JPEG_APP0 + 1 && payload.startsWith(QByteArrayView("Exif\0\0", 6)))
            return exifOrientation(payload);
    }
    return 1;
}

void configure(JpegJob& job, const DecodeOptions& options)
{
    jpeg_decompress_struct& c = job.cinfo;
    c.dct_method = dctOf(options.dctMethod);
    c.do_fancy_upsampling = options.jpegFancyUpsampling ? TRUE : FALSE;
    // The box is for the picture upright; libjpeg scales it as stored.
    const QSize box = uprightSize(options.targetSize, job.orientation);
    c.scale_num = unsigned(jpegScaleNumerator(QSize(int(c.image_width), int(c.image_height)), box));
    c.scale_denom = 8;
    job.cmyk = c.jpeg_color_space == JCS_CMYK || c.jpeg_color_space == JCS_YCCK;
    job.quantize = options.jpegDither != JpegDither::None || options.jpegTwoPassQuantize;
    if (job.cmyk) {
        c.out_color_space = JCS_CMYK; // converted to RGB by hand, quantized by Qt
    } else if (job.quantize) {
        c.out_color_space = c.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
        c.quantize_colors = TRUE;
        c.desired_number_of_colors = 256;
        c.dither_mode = ditherOf(options.jpegDither);
        c.two_pass_quantize = options.jpegTwoPassQuantize ? TRUE : FALSE;
    } else {
        c.out_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;
    }
}

bool allocate(JpegJob& job)
{
    const bool indexed = job.quantize && !job.cmyk;
    job.image = allocateImage(job.cinfo.output_width, job.cinfo.output_height,
                              indexed ? QImage::Format_Indexed8 : QImage::Format_RGB32, &job.reason);
    if (job.image.isNull())
        return false;
    job.rows.resize(job.cinfo.output_height);
    uchar* bits = job.image.bits();
    for (size_t y = 0; y < job.rows.size(); ++y)
        job.rows[y] = bits + qsizetype(y) * job.image.bytesPerLine();
    return true;
}

void takeColormap(JpegJob& job)
{
    const jpeg_decompress_struct& c = job.cinfo;
    QList<QRgb> table(c.actual_number_of_colors);
    for (int i = 0; i < c.actual_number_of_colors; ++i) {
        if (c.out_color_components == 1) {
            const int v = c.colormap[0][i];
            table[i] = qRgb(v, v, v);
        } else {
            table[i] = qRgb(c.colormap[0][i], c.colormap[1][i], c.colormap[2][i]);
        }
    }
    job.image.setColorTable(table);
}

void readRows(JpegJob& job)
{
    jpeg_decompress_struct& c = job.cinfo;
    while (c.output_scanline < c.output_height) {
        const JDIMENSION at = c.output_scanline;
        if (jpeg_read_scanlines(&c, job.rows.data() + at, c.output_height - at) == 0)
            failJpegJob(reinterpret_cast<j_common_ptr>(&c), Reason::Truncated);
    }
}

// Runs libjpeg; false with job.message or job.reason set when it gave up.
bool run(JpegJob& job, const DecodeOptions* options)
{
    if (setjmp(job.jump))
        return false;
    jpeg_create_decompress(&job.cinfo);
    attachJpegSource(job);
    jpeg_save_markers(&job.cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&job.cinfo, TRUE);
    job.orientation = orientationOf(job.cinfo);
    job.reason = checkDimensions(job.cinfo.image_width, job.cinfo.image_height);
    if (!options || !job.reason.isEmpty())
        return job.reason.isEmpty();
    configure(job, *options);
    jpeg_calc_output_dimensions(&job.cinfo);
    if (!allocate(job))
        return false;
    job.inPixelData = true;
    jpeg_start_decompress(&job.cinfo);
    if (job.quantize && !job.cmyk)
        takeColormap(job);
    readRows(job);
    jpeg_finish_decompress(&job.cinfo);
    return true;
}

inline QRgb cmykToRgb(const uchar* p, bool inverted)
{
    // Adobe writes inverted CMYK: 255 means no ink.
    const int c = inverted ? p[0] : 255 - p[0];
    const int m = inverted ? p[1] : 255 - p[1];
    const int y = inverted ? p[2] : 255 - p[2];
    const int k = inverted ? p[3] : 255 - p[3];
    return qRgb(c * k / 255, m * k / 255, y * k / 255);
}

void convertCmyk(QImage& image, bool inverted)
{
    for (int y = 0; y < image.height(); ++y) {
        uchar* line = image.scanLine(y);
        auto* out = reinterpret_cast<QRgb*>(line);
        for (int x = 0; x < image.width(); ++x)
            out[x] = cmykToRgb(line + 4 * x, inverted);
    }
}

Qt::ImageConversionFlags quantizeFlags(JpegDither dither)
{
    switch (dither) {
    case JpegDither::Ordered: return Qt::OrderedDither;
    case JpegDither::FloydSteinberg: return Qt::DiffuseDither;
    case JpegDither::None: break;
    }
    return Qt::ThresholdDither;
}

QString failureText(const JpegJob& job)
{
    if (!job.reason.isEmpty())
        return job.reason;
    if (job.message[0] == '\0')
        return reason(Reason::JpegDamaged);
    return QString::fromLocal8Bit(job.message);
}

// The picture's size as it stands upright, and its depth, into a result or a probe's answer.
template <typename Facts>
void takeSize(const JpegJob& job, Facts& p)
{
    const QSize upright =
        uprightSize(QSize(int(job.cinfo.image_width), int(job.cinfo.image_height)), job.orientation);
    p.width = upright.width();
    p.height = upright.height();
    p.colorDepth = 8 * job.cinfo.num_components;
}

DecodeResult finish(JpegJob& job, bool ok)
{
    DecodeResult p;
    if (!ok) {
        p = DecodeResult::failure(failureText(job));
    } else {
        takeSize(job, p);
        p.image = std::move(job.image);
    }
    jpeg_destroy_decompress(&job.cinfo);
    return p;
}

} // namespace

bool looksLikeJpeg(QByteArrayView data)
{
    return data.size() >= 3 && uchar(data[0]) == 0xFF && uchar(data[1]) == 0xD8 && uchar(data[2]) == 0xFF;
}

DecodeResult decodeJpeg(QByteArrayView data, const DecodeOptions& options)
{
    if (options.embeddedPreview != EmbeddedPreview::Ignore) {
        if (std::optional<DecodeResult> preview = decodeEmbeddedPreview(data, options))
            return std::move(*preview);
        if (options.embeddedPreview == EmbeddedPreview::Only)
            return DecodeResult::failure(reason(Reason::NoEmbeddedPreview));
    }
    JpegJob job;
    job.data = data;
    setUpJpegJob(job);
    const bool ok = run(job, &options);
    const bool inverted = job.cinfo.saw_Adobe_marker;
    DecodeResult p = finish(job, ok);
    if (p.ok() && job.cmyk) {
        convertCmyk(p.image, inverted);
        if (job.quantize)
            p.image = p.image.convertToFormat(QImage::Format_Indexed8, quantizeFlags(options.jpegDither));
    }
    if (p.ok())
        p.image = uprightImage(p.image, job.orientation);
    return p;
}

PictureInfo probeJpeg(QByteArrayView data)
{
    JpegJob job;
    job.data = data;
    setUpJpegJob(job);
    const bool ok = run(job, nullptr);
    PictureInfo p;
    if (!ok) {
        p.status = decodeFailure(failureText(job));
    } else {
        takeSize(job, p);
    }
    jpeg_destroy_decompress(&job.cinfo);
    return p;
}

} // namespace mv::imaging
