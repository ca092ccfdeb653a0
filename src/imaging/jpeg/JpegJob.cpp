#include "imaging/jpeg/JpegJob.h"

#include "imaging/base/DecodeLimits.h"

namespace mv::imaging {

namespace {

// libjpeg's known bomb: a tiny progressive file with thousands of scans, each a full pass.
constexpr int kMaxScans = 1000;
constexpr JOCTET kFakeEoi[2] = {0xFF, JPEG_EOI};

JpegJob& jobOf(j_common_ptr cinfo)
{
    return *static_cast<JpegJob*>(cinfo->client_data);
}

} // namespace

[[noreturn]] void failJpegJob(j_common_ptr cinfo, Reason why)
{
    JpegJob& job = jobOf(cinfo);
    job.reason = reason(why); // the temporary text is gone before the jump
    std::longjmp(job.jump, 1);
}

namespace {

[[noreturn]] void onError(j_common_ptr cinfo)
{
    JpegJob& job = jobOf(cinfo);
    (*cinfo->err->format_message)(cinfo, job.message);
    std::longjmp(job.jump, 1);
}

void onMessage(j_common_ptr, int) {} // warnings are judged by the source manager instead

void onProgress(j_common_ptr cinfo)
{
    const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (cinfo->is_decompressor && d->input_scan_number > kMaxScans)
        failJpegJob(cinfo, Reason::TooManyScans);
}

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

// Called only when the data has run out. In the headers that is fatal; in the pixel data
// libjpeg is handed an end marker and finishes the picture as its own memory source would.
boolean fillInput(j_decompress_ptr cinfo)
{
    JpegJob& job = jobOf(reinterpret_cast<j_common_ptr>(cinfo));
    if (!job.inPixelData)
        failJpegJob(reinterpret_cast<j_common_ptr>(cinfo), Reason::Truncated);
    cinfo->src->next_input_byte = kFakeEoi;
    cinfo->src->bytes_in_buffer = sizeof kFakeEoi;
    return TRUE;
}

void skipInput(j_decompress_ptr cinfo, long count)
{
    jpeg_source_mgr* src = cinfo->src;
    while (count > long(src->bytes_in_buffer)) {
        count -= long(src->bytes_in_buffer);
        src->bytes_in_buffer = 0;
        fillInput(cinfo);
    }
    if (count > 0) {
        src->next_input_byte += count;
        src->bytes_in_buffer -= size_t(count);
    }
}

} // namespace

void setUpJpegJob(JpegJob& job)
{
    job.cinfo.err = jpeg_std_error(&job.err);
    job.err.error_exit = onError;
    job.err.emit_message = onMessage;
    job.cinfo.client_data = &job;
}

void attachJpegSource(JpegJob& job)
{
    job.src.init_source = initSource;
    job.src.fill_input_buffer = fillInput;
    job.src.skip_input_data = skipInput;
    job.src.resync_to_restart = jpeg_resync_to_restart;
    job.src.term_source = termSource;
    job.src.next_input_byte = reinterpret_cast<const JOCTET*>(job.data.data());
    job.src.bytes_in_buffer = size_t(job.data.size());
    job.cinfo.src = &job.src;
    job.progress.progress_monitor = onProgress;
    job.cinfo.progress = &job.progress;
    // Virtual arrays (progressive coefficients) above this fail instead of growing.
    job.cinfo.mem->max_memory_to_use = long(kMaxDecodedBytes);
}

} // namespace mv::imaging
