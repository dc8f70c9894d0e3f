#include "picture/jpeg_import.h"

#include <csetjmp>
#include <cstdlib>
#include <new>
#include <type_traits>

#include "picture/jpeg_error.h"

namespace tstools::pict {
namespace {

constexpr int kMaxFrameExtent = 32767;

// The picture's geometry, worked out from the header and the caller's options.
struct Layout {
  PictRect frame;
  int xDensity = 72, yDensity = 72;  // dots per inch, reduced with the decode
  bool indexed = false;
};

// The C++ side of a decode: the writer and everything that may allocate. Its calls never
// throw; libjpeg's frames never lie between it and a longjmp.
class PictSink {
 public:
  explicit PictSink(const JpegImportOptions &options) : options_(options) {}

  bool Reserve(const jpeg_decompress_struct &c, const Layout &layout) noexcept {
    // Beyond the limit also when rowBytes would not fit in 15 bits.
    uint64_t worst = WorstCaseBitmapPictSize(layout.indexed ? 8 : 24, int(c.output_width),
                                             int(c.output_height));
    if (worst > kPictSizeLimit) return false;
    if (options_.output) {
      uint8_t *memory = options_.output->Provide(size_t(worst));
      if (!memory) return false;
      writer_.UseBuffer(memory, size_t(worst));
      return true;
    }
    try {
      return writer_.Reserve(worst);
    } catch (...) {
      return false;
    }
  }

  bool Begin(const jpeg_decompress_struct &c, const Layout &layout) noexcept {
    try {
      PictRect bounds{0, 0, int16_t(c.output_width), int16_t(c.output_height)};
      int32_t hRes = int32_t(layout.xDensity) << 16, vRes = int32_t(layout.yDensity) << 16;
      writer_.BeginExtended(layout.frame, hRes, vRes);
      if (!layout.indexed) {
        DirectImage image;
        image.bounds = image.source = bounds;
        image.destination = layout.frame;
        image.hRes = hRes;
        image.vRes = vRes;
        image.packType = 2;
        image.packSize = uint32_t(c.output_width) * c.output_height * 3;
        return writer_.BeginDirect(image);
      }
      IndexedImage image;
      image.bounds = image.source = bounds;
      image.destination = layout.frame;
      image.rowBytes = c.output_width;
      image.packSize = uint32_t(c.output_width) * c.output_height;
      image.hRes = hRes;
      image.vRes = vRes;
      if (!c.quantize_colors) {
        for (int i = 0; i < 256; ++i)
          image.colors.push_back({uint8_t(i), uint8_t(i), uint8_t(i)});
      } else {
        bool grey = c.out_color_components == 1;
        for (int i = 0; i < c.actual_number_of_colors; ++i) {
          uint8_t r = c.colormap[0][i];
          image.colors.push_back(grey ? PictRgb{r, r, r}
                                      : PictRgb{r, c.colormap[1][i], c.colormap[2][i]});
        }
      }
      return writer_.BeginIndexed(image);
    } catch (...) {
      return false;
    }
  }

  bool Row(const uint8_t *row) noexcept {
    try {
      return writer_.AppendRow(row);
    } catch (...) {
      return false;
    }
  }

  bool Finish() noexcept {
    try {
      return writer_.Finish();
    } catch (...) {
      return false;
    }
  }

  const JpegImportOptions &options() const { return options_; }
  PictWriter &writer() { return writer_; }

 private:
  const JpegImportOptions &options_;
  PictWriter writer_;
};

// Everything a decode keeps across the setjmp: plain data only.
struct DecodeJob {
  jpeg_decompress_struct cinfo;
  JpegErrorManager error;
  jpeg_progress_mgr progress;
  const uint8_t *data;
  size_t size;
  PictSink *sink;  // null: the header only
  Layout layout;
};
static_assert(std::is_trivially_destructible_v<DecodeJob>, "a longjmp may leave it");

void CapScans(j_common_ptr cinfo) {
  // The closest of libjpeg's messages: the file's scan sequence is not acceptable.
  if (cinfo->is_decompressor &&
      reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kJpegMaxScans)
    ERREXIT(cinfo, JERR_BAD_PROGRESSION);
}

// A density the frame can be divided by and drawn at: none in the file, a zero, or one that
// would take the frame past 16 bits or shrink it to nothing means 72 per inch.
int UsableDensity(int density, JDIMENSION pixels) {
  if (density <= 0) return 72;
  uint64_t extent = uint64_t(pixels) * 72 / unsigned(density);
  return extent == 0 || extent > kMaxFrameExtent ? 72 : density;
}

bool ComputeFrame(const jpeg_decompress_struct &c, Layout *layout) {
  int x = 72, y = 72;
  if (c.saw_JFIF_marker && (c.density_unit == 1 || c.density_unit == 2)) {
    x = c.X_density;
    y = c.Y_density;
    if (c.density_unit == 2) {  // dots per centimetre
      x = x * 254 / 100;
      y = y * 254 / 100;
    }
  }
  layout->xDensity = UsableDensity(x, c.image_width);
  layout->yDensity = UsableDensity(y, c.image_height);
  uint64_t right = uint64_t(c.image_width) * 72 / unsigned(layout->xDensity);
  uint64_t bottom = uint64_t(c.image_height) * 72 / unsigned(layout->yDensity);
  if (right > kMaxFrameExtent || bottom > kMaxFrameExtent) return false;
  layout->frame = PictRect{0, 0, int16_t(right), int16_t(bottom)};
  return true;
}

JSAMPARRAY FixedColorMap(j_decompress_ptr c, const PictRgb *colors, int count) {
  JSAMPARRAY map = (*c->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(c), JPOOL_IMAGE,
                                           JDIMENSION(count), 3);
  for (int i = 0; i < count; ++i) {
    map[0][i] = colors[i].red;
    map[1][i] = colors[i].green;
    map[2][i] = colors[i].blue;
  }
  c->actual_number_of_colors = count;
  return map;
}

// Output colour space, IDCT, reduction and quantisation from the caller's options.
void Configure(j_decompress_ptr c, const JpegImportOptions &options, Layout *layout) {
  bool grey = c->jpeg_color_space == JCS_GRAYSCALE;
  c->out_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
  c->dct_method = JDCT_FLOAT;
  if (options.limitSize) {
    uint64_t wideAs = uint64_t(std::abs(options.maxRect.Width())) * 2;
    uint64_t highAs = uint64_t(std::abs(options.maxRect.Height())) * 2;
    c->scale_num = 1;
    c->scale_denom = 1;
    while (c->image_width > wideAs && c->image_height > highAs && c->scale_denom < 8) {
      c->scale_denom *= 2;
      layout->xDensity = layout->xDensity > 1 ? layout->xDensity / 2 : 1;
      layout->yDensity = layout->yDensity > 1 ? layout->yDensity / 2 : 1;
      wideAs *= 2;
      highAs *= 2;
    }
  }
  int depth = options.depth;
  layout->indexed = grey || depth < 16;
  if (depth >= 16) return;
  c->quantize_colors = TRUE;
  static const PictRgb kWhiteBlack[2] = {{255, 255, 255}, {0, 0, 0}};
  if (grey)
    c->desired_number_of_colors = depth < 4 ? 2 : depth < 8 ? 4 : 16;
  else if (depth < 4)
    c->colormap = FixedColorMap(c, kWhiteBlack, 2);
  else if (depth < 8)
    c->desired_number_of_colors = 16;
  else if (options.fixedMap)
    c->colormap = FixedColorMap(c, options.fixedMap, 256);
  else
    c->desired_number_of_colors = 256;
}

bool Abandon(DecodeJob *job, int code) {
  SetJpegFailure(&job->error, code);
  jpeg_destroy_decompress(&job->cinfo);
  return false;
}

// Drives libjpeg. A fatal error longjmps back to the setjmp below, so this frame holds no
// object with a destructor; the sink's calls return before libjpeg runs again.
bool RunDecode(DecodeJob *job) {
  j_decompress_ptr c = &job->cinfo;
  c->err = InstallJpegErrorManager(&job->error);
  if (setjmp(job->error.jump)) {
    jpeg_destroy_decompress(c);
    return false;
  }
  jpeg_create_decompress(c);
  c->mem->max_memory_to_use = kJpegMaxMemory;
  job->progress.progress_monitor = CapScans;
  c->progress = &job->progress;
  // libjpeg's memory source warns at the end of the data and supplies an end-of-image marker.
  jpeg_mem_src(c, job->data, static_cast<unsigned long>(job->size));
  jpeg_read_header(c, TRUE);
  if (!ComputeFrame(*c, &job->layout)) return Abandon(job, JERR_IMAGE_TOO_BIG);
  if (!job->sink) {
    jpeg_destroy_decompress(c);
    return true;
  }
  Configure(c, job->sink->options(), &job->layout);
  jpeg_calc_output_dimensions(c);
  // The whole picture's room is taken before any decoding work.
  if (!job->sink->Reserve(*c, job->layout)) return Abandon(job, kJpegOutOfMemoryCode);
  jpeg_start_decompress(c);
  if (!job->sink->Begin(*c, job->layout)) return Abandon(job, kJpegOutOfMemoryCode);
  JSAMPARRAY row = (*c->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(c), JPOOL_IMAGE,
                                           c->output_width * c->output_components, 1);
  while (c->output_scanline < c->output_height) {
    // The memory source never suspends, so every call yields a row.
    if (jpeg_read_scanlines(c, row, 1) != 1 || !job->sink->Row(row[0]))
      return Abandon(job, kJpegOutOfMemoryCode);
  }
  jpeg_finish_decompress(c);
  jpeg_destroy_decompress(c);
  if (job->sink->Finish()) return true;
  SetJpegFailure(&job->error, kJpegOutOfMemoryCode);
  return false;
}

std::vector<uint8_t> ErrorPicture(const char *message) {
  PictWriter writer;
  writer.BeginExtended(PictRect{0, 0, 200, 16}, 72 << 16, 72 << 16);
  size_t length = 0;
  while (message[length] && length < 255) ++length;
  writer.DhDvText(1, 12, reinterpret_cast<const uint8_t *>(message), length);
  writer.Finish();
  if (writer.Failed()) throw std::bad_alloc();
  return writer.TakeBytes();
}

}  // namespace

std::vector<uint8_t> JpegToPict(const uint8_t *data, size_t size,
                                const JpegImportOptions &options, size_t *written) {
  *written = 0;
  PictSink sink(options);
  DecodeJob job{};  // trivially destructible: nothing for a longjmp to skip
  job.data = data;
  job.size = size;
  job.sink = &sink;
  if (!RunDecode(&job)) return ErrorPicture(job.error.message);
  if (options.output) {
    *written = sink.writer().Size();
    return {};
  }
  return sink.writer().TakeBytes();
}

std::vector<uint8_t> JpegToPict(const uint8_t *data, size_t size,
                                const JpegImportOptions &options) {
  JpegImportOptions own = options;
  own.output = nullptr;
  size_t written;
  return JpegToPict(data, size, own, &written);
}

bool JpegFrame(const uint8_t *data, size_t size, PictRect *frame) {
  DecodeJob job{};
  job.data = data;
  job.size = size;
  bool read = RunDecode(&job);
  *frame = read ? job.layout.frame : PictRect{};
  return read;
}

}  // namespace tstools::pict
