// The libjpeg plumbing of our JPEG decoder: one job per decode holding libjpeg's state, and
// the managers that keep libjpeg inside it: errors longjmp back instead of exit(), input
// comes from memory and may not run past its end, progressive scans are counted.
#pragma once

#include "imaging/base/Messages.h"

#include <QByteArrayView>
#include <QImage>
#include <QString>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace mv::imaging {

// Everything a decode touches lives here, outside the function that calls setjmp, so that a
// longjmp out of libjpeg skips no destructor.
struct JpegJob {
    jpeg_decompress_struct cinfo {};
    jpeg_error_mgr err {};
    jpeg_source_mgr src {};
    jpeg_progress_mgr progress {};
    std::jmp_buf jump {};
    char message[JMSG_LENGTH_MAX] = {}; // libjpeg's own text of an error it gave up on
    QByteArrayView data;
    bool inPixelData = false; // past the headers: running out now gives a partial picture
    bool cmyk = false;
    bool quantize = false;
    int orientation = 1; // EXIF's, 1..8
    QImage image;
    QString reason; // ours, which comes first
    std::vector<JSAMPROW> rows;
};

// Installs the error manager; call before jpeg_create_decompress.
void setUpJpegJob(JpegJob& job);
// Points libjpeg at job.data with the progress monitor and memory limit; after create.
void attachJpegSource(JpegJob& job);
// Gives up on the decode with this reason (jumps back to job.jump).
[[noreturn]] void failJpegJob(j_common_ptr cinfo, Reason why);

} // namespace mv::imaging
