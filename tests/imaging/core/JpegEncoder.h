// Test pictures written with libjpeg's own compressor, shared by the tests and the benchmark.
#pragma once

#include <QByteArray>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace mv::imaging::test {

struct JpegSpec {
    int components = 3; // 1 grey, 3 RGB, 4 CMYK
    bool progressive = false;
    bool adobeMarker = true; // for CMYK: the Adobe marker that says "inverted"
    int quality = 95;
    bool subsample = true; // 4:2:0 chroma for colour pictures
};

// Encodes interleaved samples (width * height * components bytes).
inline QByteArray encodeJpegSamples(const unsigned char* samples, int width, int height, const JpegSpec& spec)
{
    jpeg_compress_struct c {};
    jpeg_error_mgr err {};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* out = nullptr;
    unsigned long outSize = 0;
    jpeg_mem_dest(&c, &out, &outSize);
    c.image_width = JDIMENSION(width);
    c.image_height = JDIMENSION(height);
    c.input_components = spec.components;
    c.in_color_space = spec.components == 1 ? JCS_GRAYSCALE : spec.components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&c);
    if (spec.components == 4) {
        jpeg_set_colorspace(&c, JCS_CMYK);
        c.write_Adobe_marker = spec.adobeMarker ? TRUE : FALSE;
    }
    if (spec.components == 3 && !spec.subsample) {
        for (int i = 0; i < 3; ++i)
            c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    }
    jpeg_set_quality(&c, spec.quality, TRUE);
    if (spec.progressive)
        jpeg_simple_progression(&c);
    jpeg_start_compress(&c, TRUE);
    const auto stride = size_t(width) * size_t(spec.components);
    while (c.next_scanline < c.image_height) {
        auto* row = const_cast<JSAMPROW>(samples + stride * c.next_scanline);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(outSize));
    jpeg_destroy_compress(&c);
    std::free(out);
    return bytes;
}

inline QByteArray encodeJpeg(const QImage& image, JpegSpec spec = {})
{
    spec.components = 3;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::vector<unsigned char> samples;
    for (int y = 0; y < rgb.height(); ++y)
        samples.insert(samples.end(), rgb.constScanLine(y),
                       rgb.constScanLine(y) + qsizetype(rgb.width()) * 3);
    return encodeJpegSamples(samples.data(), rgb.width(), rgb.height(), spec);
}

// A smooth picture with tens of thousands of colours: red across, green down, blue diagonal.
inline QImage gradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb(x * 255 / qMax(1, width - 1), y * 255 / qMax(1, height - 1),
                           ((x + y) * 255 / qMax(1, width + height - 2)));
    }
    return image;
}

} // namespace mv::imaging::test
