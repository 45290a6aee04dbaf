#include "toolkit/jpeg/JpegImage.h"

#include <csetjmp>
#include <cstdio>
#include <new>

// clang-format off: jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

namespace veltrane {

namespace {

constexpr std::uint8_t kStartOfImage[] = {0xFF, 0xD8};
constexpr int kRgbChannels = 3;

// libjpeg reports failures through these callbacks; they jump back into DecodeInto.
struct ErrorManager {
    jpeg_error_mgr pub; // first member: libjpeg hands the callbacks a pointer to it
    std::jmp_buf jump;
    JpegStatus status = JpegStatus::Corrupt;
    char message[JMSG_LENGTH_MAX] = {};
};

struct ProgressManager {
    jpeg_progress_mgr pub; // first member: the decoder holds a pointer to it, the callback casts back
    int maxScans = kJpegMaxScans;
};

struct Decoder {
    jpeg_decompress_struct info{};
    ErrorManager error{};
    jpeg_source_mgr source{};
    ProgressManager progress{};
    JpegLimits limits;

    Decoder() = default;
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
    // Harmless before jpeg_create_decompress: the library frees only what it has made.
    ~Decoder() { jpeg_destroy_decompress(&info); }
};

ErrorManager& ErrorsOf(j_common_ptr info) {
    return *reinterpret_cast<ErrorManager*>(info->err);
}

[[noreturn]] void Fail(j_common_ptr info, JpegStatus status, const char* text) {
    ErrorManager& error = ErrorsOf(info);
    error.status = status;
    std::snprintf(error.message, sizeof error.message, "%s", text);
    std::longjmp(error.jump, 1);
}

JpegStatus StatusOf(int code) {
    switch (code) {
    case JERR_NO_SOI:
        return JpegStatus::NotJpeg;
    case JERR_INPUT_EMPTY:
    case JERR_INPUT_EOF:
        return JpegStatus::Truncated;
    case JERR_BAD_PRECISION:
    case JERR_CONVERSION_NOTIMPL:
    case JERR_NOT_COMPILED:
    case JERR_NOTIMPL:
        return JpegStatus::Unsupported;
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE:
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
        return JpegStatus::TooLarge;
    default:
        return JpegStatus::Corrupt;
    }
}

[[noreturn]] void FailWithLibraryMessage(j_common_ptr info, JpegStatus status) {
    char text[JMSG_LENGTH_MAX];
    info->err->format_message(info, text);
    Fail(info, status, text);
}

void OnError(j_common_ptr info) {
    FailWithLibraryMessage(info, StatusOf(info->err->msg_code));
}

// Warnings are libjpeg's way of saying "corrupt data, carrying on": a damaged banner is not shown.
void OnMessage(j_common_ptr info, int level) {
    if (level < 0)
        FailWithLibraryMessage(info, JpegStatus::Corrupt);
}

void OnOutputMessage(j_common_ptr) {}

void OnProgress(j_common_ptr info) {
    const auto decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > reinterpret_cast<ProgressManager*>(decompress->progress)->maxScans)
        Fail(info, JpegStatus::Corrupt, "too many scans");
}

// The whole picture is in memory from the start, so a request for more means it was cut short.
void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr info) {
    Fail(reinterpret_cast<j_common_ptr>(info), JpegStatus::Truncated, "picture ends too early");
}

void SkipInputData(j_decompress_ptr info, long count) {
    if (count <= 0)
        return;
    jpeg_source_mgr& source = *info->src;
    if (static_cast<unsigned long>(count) > source.bytes_in_buffer)
        Fail(reinterpret_cast<j_common_ptr>(info), JpegStatus::Truncated, "picture ends inside a marker");
    source.next_input_byte += count;
    source.bytes_in_buffer -= static_cast<std::size_t>(count);
}

void Prepare(Decoder& d, std::span<const std::uint8_t> data, const JpegLimits& limits) {
    d.limits = limits;
    d.info.err = jpeg_std_error(&d.error.pub);
    d.error.pub.error_exit = OnError;
    d.error.pub.emit_message = OnMessage;
    d.error.pub.output_message = OnOutputMessage;
    d.source.next_input_byte = data.data();
    d.source.bytes_in_buffer = data.size();
    d.source.init_source = InitSource;
    d.source.fill_input_buffer = FillInputBuffer;
    d.source.skip_input_data = SkipInputData;
    d.source.resync_to_restart = jpeg_resync_to_restart;
    d.source.term_source = TermSource;
    d.progress.pub.progress_monitor = OnProgress;
    d.progress.maxScans = limits.maxScans;
}

void Refuse(Decoder& d, JpegStatus status, const char* text) {
    d.error.status = status;
    std::snprintf(d.error.message, sizeof d.error.message, "%s", text);
}

// The only frame libjpeg's callbacks jump back to. It holds no object with a destructor, so the jump
// skips none; the caller's Decoder releases the library's memory afterwards.
void DecodeInto(Decoder& d, JpegImage& image) {
    if (setjmp(d.error.jump) != 0)
        return;
    jpeg_create_decompress(&d.info);
    d.info.mem->max_memory_to_use = d.limits.maxLibraryMemory;
    d.info.src = &d.source;
    d.info.progress = &d.progress.pub;
    jpeg_read_header(&d.info, TRUE);
    const JDIMENSION maxSide = JDIMENSION(d.limits.maxSide);
    if (d.info.image_width > maxSide || d.info.image_height > maxSide) {
        char text[96];
        std::snprintf(text, sizeof text, "picture is %u x %u, larger than the allowed side of %u",
                      unsigned(d.info.image_width), unsigned(d.info.image_height), unsigned(maxSide));
        return Refuse(d, JpegStatus::TooLarge, text);
    }
    d.info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d.info);
    if (d.info.output_components != kRgbChannels)
        return Refuse(d, JpegStatus::Unsupported, "picture does not decode to RGB");
    image.width = int(d.info.output_width);
    image.height = int(d.info.output_height);
    const std::size_t stride = std::size_t(image.width) * kRgbChannels;
    image.rgb.resize(stride * std::size_t(image.height));
    while (d.info.output_scanline < d.info.output_height) {
        JSAMPROW row = image.rgb.data() + stride * d.info.output_scanline;
        if (jpeg_read_scanlines(&d.info, &row, 1) != 1)
            return Refuse(d, JpegStatus::Truncated, "picture ends too early");
    }
    // Reads on to the end marker, so a file cut just before it is caught too.
    jpeg_finish_decompress(&d.info);
    d.error.status = JpegStatus::Ok;
}

} // namespace

JpegImage::Rgb JpegImage::At(int x, int y) const {
    const std::uint8_t* p =
        rgb.data() + (std::size_t(y) * std::size_t(width) + std::size_t(x)) * kRgbChannels;
    return {p[0], p[1], p[2]};
}

JpegDecodeResult JpegDecode(std::span<const std::uint8_t> data, const JpegLimits& limits) {
    JpegDecodeResult result;
    if (data.empty()) {
        result.status = JpegStatus::Empty;
        result.message = "no picture data";
        return result;
    }
    if (data.size() < sizeof kStartOfImage || data[0] != kStartOfImage[0] || data[1] != kStartOfImage[1]) {
        result.status = JpegStatus::NotJpeg;
        result.message = "not a JPEG picture";
        return result;
    }
    Decoder decoder;
    Prepare(decoder, data, limits);
    try {
        DecodeInto(decoder, result.image);
        result.status = decoder.error.status;
        result.message = decoder.error.message;
    } catch (const std::bad_alloc&) {
        result.status = JpegStatus::TooLarge;
        result.message = "out of memory for the picture";
    }
    if (!result.Ok())
        result.image = {};
    return result;
}

const char* JpegStatusName(JpegStatus status) {
    switch (status) {
    case JpegStatus::Ok:
        return "ok";
    case JpegStatus::Empty:
        return "empty";
    case JpegStatus::NotJpeg:
        return "not a JPEG";
    case JpegStatus::Truncated:
        return "truncated";
    case JpegStatus::Corrupt:
        return "corrupt";
    case JpegStatus::Unsupported:
        return "unsupported";
    case JpegStatus::TooLarge:
        return "too large";
    }
    return "unknown";
}

std::size_t DibStride24(int width) {
    const std::size_t bytes = std::size_t(width) * kRgbChannels;
    return (bytes + kDibRowAlign - 1) / kDibRowAlign * kDibRowAlign;
}

std::vector<std::uint8_t> JpegToDib24(const JpegImage& image) {
    const std::size_t stride = DibStride24(image.width);
    std::vector<std::uint8_t> dib(stride * std::size_t(image.height));
    for (int y = 0; y < image.height; ++y) {
        std::uint8_t* out = dib.data() + stride * std::size_t(y);
        for (int x = 0; x < image.width; ++x, out += kRgbChannels) {
            const JpegImage::Rgb pixel = image.At(x, y);
            out[0] = pixel.b;
            out[1] = pixel.g;
            out[2] = pixel.r;
        }
    }
    return dib;
}

} // namespace veltrane
