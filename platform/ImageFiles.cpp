#include "platform/ImageFiles.h"

#include <QSaveFile>
#include <QString>
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>
// After jpeglib.h, which it extends.
#include <jerror.h>
#include <png.h>

#include "platform/FileSystem.h"
#include "platform/StrUtils.h"

namespace {

// The largest pictures the trainer shows are its screen backgrounds (at most
// 1440 x 1050 today). 4096 x 4096 pixels in all leaves room for the background
// of a 4K screen (3840 x 2160, 8.3 million pixels) and for sprite sheets of
// several frames, and keeps a picture under 64 MB of pixels; a side of 8192
// allows a long strip of frames. Headers are checked against these before any
// pixel memory is taken, so a small file claiming a huge picture costs nothing.
constexpr std::int64_t kMaxSide = kMaxPictureSide;
constexpr std::int64_t kMaxSquare = 4096;
constexpr std::int64_t kMaxPixels = kMaxSquare * kMaxSquare;
// A picture file is read whole before it is decoded. The largest picture
// allowed takes 64 MB as 32-bit pixels, which no file holding it needs to
// exceed by more than its headers and chunks (libpng keeps those under 1 MB
// each, below); the trainer's own pictures take a few hundred KB at most.
constexpr std::size_t kMaxPictureFileBytes = std::size_t(kMaxPixels) * 4 + (std::size_t(1) << 20);
// libjpeg's memory for one picture: the coefficients of a progressive
// picture of the largest size take about 130 MB (4 colour channels).
constexpr long kMaxJpegMemory = 256L << 20;
// A progressive JPEG may repeat its scans without end, each pass costing a
// decode of the whole picture; real files have a dozen.
constexpr int kMaxJpegScans = 100;

bool SizeAllowed(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide && width * height <= kMaxPixels;
}

std::string TooLarge(std::int64_t width, std::int64_t height) {
  return Format("the picture claims %d x %d pixels, more than the %d x %d (and %d a side) that can be shown",
                width, height, kMaxSquare, kMaxSquare, kMaxSide);
}

// QSaveFile replaces the old file only once the new one is complete.
void WriteFileBytes(const std::string& fileName, const char* data, std::size_t size) {
  QSaveFile file(QString::fromStdString(NativePath(fileName)));
  if (!file.open(QIODevice::WriteOnly) || file.write(data, qint64(size)) != qint64(size) || !file.commit())
    throw Exception(Format("Cannot write file %s", fileName));
}

void RequirePicture(const TBitmap& bitmap, const std::string& fileName) {
  if (bitmap.Empty()) throw Exception(Format("Cannot save an empty picture to %s", fileName));
}

// ---- Windows bitmaps ----

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

Exception BmpError(const std::string& fileName, const std::string& reason) {
  return Exception(Format("Cannot read bitmap file %s: %s", fileName, reason));
}

// Little-endian fields that are never read past the end of the file.
class TBmpBytes {
 public:
  TBmpBytes(const std::string& bytes, const std::string& fileName) : bytes_(bytes), fileName_(fileName) {}

  std::size_t Size() const { return bytes_.size(); }
  const std::uint8_t* At(std::size_t offset) const {
    return reinterpret_cast<const std::uint8_t*>(bytes_.data()) + offset;
  }
  std::uint32_t U32(std::size_t offset) const {
    Need(offset, 4);
    const std::uint8_t* p = At(offset);
    return p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t(p[3]) << 24);
  }
  std::uint16_t U16(std::size_t offset) const {
    Need(offset, 2);
    return std::uint16_t(At(offset)[0] | (At(offset)[1] << 8));
  }
  std::int32_t S32(std::size_t offset) const { return std::int32_t(U32(offset)); }
  Exception Fail(const std::string& reason) const { return BmpError(fileName_, reason); }

 private:
  void Need(std::size_t offset, std::size_t n) const {
    if (offset > bytes_.size() || n > bytes_.size() - offset) throw Fail("the header is truncated");
  }

  const std::string& bytes_;
  const std::string& fileName_;
};

struct TBmpLayout {
  int Width = 0;
  int Height = 0;
  bool TopDown = false;
  int Bits = 0;
  std::vector<std::uint32_t> Palette;
  std::size_t PixelsAt = 0;
  std::size_t Stride = 0;
};

bool KnownInfoHeaderSize(std::uint32_t size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// Bit fields are accepted only when they describe the plain B,G,R(,A) layout.
std::size_t CheckBitfields(const TBmpBytes& in, std::uint32_t infoSize, int bits) {
  if (bits != 32) throw in.Fail("bit fields are supported for 32-bit pictures only");
  const std::size_t masksAt = kFileHeaderSize + 40;
  if (in.U32(masksAt) != 0x00FF0000u || in.U32(masksAt + 4) != 0x0000FF00u ||
      in.U32(masksAt + 8) != 0x000000FFu)
    throw in.Fail("unsupported colour bit fields");
  return infoSize == 40 ? 12 : 0;  // a plain info header is followed by its three masks
}

std::vector<std::uint32_t> ReadPalette(const TBmpBytes& in, std::size_t at, int bits,
                                       std::uint32_t colorsUsed) {
  const std::uint32_t maxColors = 1u << bits;
  if (colorsUsed > maxColors)
    throw in.Fail(Format("%d palette colours for a %d-bit picture", colorsUsed, bits));
  const std::uint32_t count = colorsUsed ? colorsUsed : maxColors;
  std::vector<std::uint32_t> palette(count);
  for (std::uint32_t i = 0; i < count; ++i) palette[i] = 0xFF000000u | (in.U32(at + 4 * i) & 0x00FFFFFFu);
  return palette;
}

TBmpLayout ReadBmpLayout(const TBmpBytes& in) {
  if (in.Size() < kFileHeaderSize || in.At(0)[0] != 'B' || in.At(0)[1] != 'M')
    throw in.Fail("this is not a Windows bitmap");
  const std::uint32_t infoSize = in.U32(kFileHeaderSize);
  if (!KnownInfoHeaderSize(infoSize)) throw in.Fail(Format("unsupported header of %d bytes", infoSize));
  if (infoSize > in.Size() - kFileHeaderSize) throw in.Fail("the header is truncated");
  const std::int64_t width = in.S32(18);
  const std::int64_t height = in.S32(22);
  const std::int64_t rows = height < 0 ? -height : height;
  if (width <= 0 || rows <= 0) throw in.Fail(Format("bad picture size %d x %d", width, height));
  if (!SizeAllowed(width, rows)) throw in.Fail(TooLarge(width, rows));
  if (in.U16(26) != 1) throw in.Fail("bad number of colour planes");

  TBmpLayout layout;
  layout.Width = int(width);
  layout.Height = int(rows);
  layout.TopDown = height < 0;
  layout.Bits = in.U16(28);
  if (layout.Bits != 1 && layout.Bits != 4 && layout.Bits != 8 && layout.Bits != 24 && layout.Bits != 32)
    throw in.Fail(Format("unsupported colour depth of %d bits", layout.Bits));
  const std::uint32_t compression = in.U32(30);
  std::size_t tablesAt = kFileHeaderSize + infoSize;
  if (compression == kBiBitfields)
    tablesAt += CheckBitfields(in, infoSize, layout.Bits);
  else if (compression != kBiRgb)
    throw in.Fail("compressed bitmaps are not supported");
  if (layout.Bits <= 8) layout.Palette = ReadPalette(in, tablesAt, layout.Bits, in.U32(46));
  const std::size_t tablesEnd = tablesAt + 4 * layout.Palette.size();

  layout.PixelsAt = in.U32(10);
  layout.Stride = ((std::size_t(layout.Width) * layout.Bits + 31) / 32) * 4;
  if (layout.PixelsAt < tablesEnd || layout.PixelsAt > in.Size())
    throw in.Fail(Format("the pixel data offset %d is out of range", layout.PixelsAt));
  if (layout.Stride * layout.Height > in.Size() - layout.PixelsAt)
    throw in.Fail("the pixel data is truncated");
  return layout;
}

void DecodeBmpRow(const TBmpBytes& in, const TBmpLayout& layout, const std::uint8_t* row,
                  std::uint32_t* out) {
  if (layout.Bits == 32) {
    std::memcpy(out, row, std::size_t(layout.Width) * 4);  // B,G,R,A in the file as in memory
    return;
  }
  if (layout.Bits == 24) {
    for (int x = 0; x < layout.Width; ++x, row += 3)
      out[x] = 0xFF000000u | (std::uint32_t(row[2]) << 16) | (row[1] << 8) | row[0];
    return;
  }
  const int perByte = 8 / layout.Bits;
  const unsigned mask = (1u << layout.Bits) - 1;
  for (int x = 0; x < layout.Width; ++x) {
    const int shift = 8 - layout.Bits * (x % perByte + 1);
    const unsigned index = (row[x / perByte] >> shift) & mask;
    if (index >= layout.Palette.size()) throw in.Fail("a colour index lies outside the palette");
    out[x] = layout.Palette[index];
  }
}

void PutLe(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(char((value >> (8 * i)) & 0xFF));
}

std::string EncodeBmp(const TBitmap& bitmap, int bits) {
  const std::size_t stride = ((std::size_t(bitmap.Width()) * bits + 31) / 32) * 4;
  const std::size_t headers = kFileHeaderSize + 40;
  const std::size_t fileSize = headers + stride * bitmap.Height();
  if (fileSize > 0xFFFFFFFFu) throw Exception("The picture is too large for a bitmap file");
  std::string out;
  out.reserve(fileSize);
  out += "BM";
  PutLe(out, std::uint32_t(fileSize), 4);
  PutLe(out, 0, 4);
  PutLe(out, std::uint32_t(headers), 4);
  PutLe(out, 40, 4);
  PutLe(out, bitmap.Width(), 4);
  PutLe(out, bitmap.Height(), 4);  // positive: rows from the bottom, as every reader expects
  PutLe(out, 1, 2);
  PutLe(out, bits, 2);
  PutLe(out, kBiRgb, 4);
  PutLe(out, std::uint32_t(stride * bitmap.Height()), 4);
  PutLe(out, 3780, 4);  // 96 pixels per inch
  PutLe(out, 3780, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  for (int y = bitmap.Height() - 1; y >= 0; --y) {
    const std::uint32_t* row = bitmap.ScanLine(y);
    const std::size_t start = out.size();
    for (int x = 0; x < bitmap.Width(); ++x) PutLe(out, row[x], bits / 8);
    out.append(stride - (out.size() - start), '\0');
  }
  return out;
}

}  // namespace

TBitmap LoadBmp(const std::string& fileName) {
  const std::string bytes = ReadTextFile(fileName, kMaxPictureFileBytes);
  const TBmpBytes in(bytes, fileName);
  const TBmpLayout layout = ReadBmpLayout(in);
  TBitmap bitmap(layout.Width, layout.Height);
  for (int r = 0; r < layout.Height; ++r) {
    const int y = layout.TopDown ? r : layout.Height - 1 - r;
    DecodeBmpRow(in, layout, in.At(layout.PixelsAt + layout.Stride * r), bitmap.ScanLine(y));
  }
  return bitmap;
}

void SaveBmp(const std::string& fileName, const TBitmap& bitmap, int bitsPerPixel) {
  if (bitsPerPixel != 24 && bitsPerPixel != 32)
    throw Exception(Format("Bitmap files of %d bits per pixel cannot be written", bitsPerPixel));
  RequirePicture(bitmap, fileName);
  const std::string bytes = EncodeBmp(bitmap, bitsPerPixel);
  WriteFileBytes(fileName, bytes.data(), bytes.size());
}

// ---- PNG ----

namespace {

// Everything libpng touches lives here, in the caller's frame, so a longjmp
// out of libpng skips no destructor.
struct TPngReader {
  const std::string* Bytes = nullptr;
  std::size_t Pos = 0;
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  char Error[256] = "unknown error";
  int Width = 0;
  int Height = 0;
  int ColorType = 0;
  std::vector<std::uint8_t> Rgba;
  std::vector<png_bytep> Rows;

  ~TPngReader() {
    if (Png) png_destroy_read_struct(&Png, &Info, nullptr);
  }
};

void OnPngError(png_structp png, png_const_charp message) {
  auto* reader = static_cast<TPngReader*>(png_get_error_ptr(png));
  std::snprintf(reader->Error, sizeof reader->Error, "%s", message);
  png_longjmp(png, 1);
}

// Warnings concern ancillary chunks; the picture itself is still sound.
void OnPngWarning(png_structp, png_const_charp) {}

// Every block libpng takes comes from here. Its own blocks are a row of the
// widest picture (64 KB at 16 bits a channel), the inflate window and chunks
// that it keeps under 1 MB; a file must never have it take what a chunk's
// length claims (up to 2 GB) before the data is there.
constexpr png_alloc_size_t kMaxPngBlock = png_alloc_size_t(2) << 20;

png_voidp OnPngMalloc(png_structp, png_alloc_size_t size) {
  return size <= kMaxPngBlock ? std::malloc(size) : nullptr;
}

void OnPngFree(png_structp, png_voidp block) {
  std::free(block);
}

// The ancillary chunks that make no difference to the pixels we decode:
// libpng skips them unread instead of keeping them (up to a thousand of
// each kind, a megabyte each).
void IgnoreUnusedPngChunks(png_structp png) {
  static const png_byte unused[] = "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0"
                                   "sBIT\0sCAL\0sPLT\0sRGB\0tEXt\0tIME\0zTXt";
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, unused, int(sizeof unused / 5));
}

void OnPngRead(png_structp png, png_bytep out, png_size_t n) {
  auto* reader = static_cast<TPngReader*>(png_get_io_ptr(png));
  if (n > reader->Bytes->size() - reader->Pos) png_error(png, "the file is truncated");
  std::memcpy(out, reader->Bytes->data() + reader->Pos, n);
  reader->Pos += n;
}

// Decodes to 8-bit R,G,B,A rows. This frame holds nothing with a destructor,
// since libpng leaves it by longjmp.
bool DecodePng(TPngReader& r) {
  if (setjmp(png_jmpbuf(r.Png))) return false;
  png_set_read_fn(r.Png, &r, OnPngRead);
  png_read_info(r.Png, r.Info);
  r.Width = int(png_get_image_width(r.Png, r.Info));
  r.Height = int(png_get_image_height(r.Png, r.Info));
  r.ColorType = png_get_color_type(r.Png, r.Info);
  if (!SizeAllowed(r.Width, r.Height)) {
    std::snprintf(r.Error, sizeof r.Error, "%s", TooLarge(r.Width, r.Height).c_str());
    return false;
  }
  png_set_expand(r.Png);
  png_set_strip_16(r.Png);
  png_set_gray_to_rgb(r.Png);
  png_set_filler(r.Png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(r.Png);
  png_read_update_info(r.Png, r.Info);
  const std::size_t rowBytes = std::size_t(r.Width) * 4;
  if (png_get_rowbytes(r.Png, r.Info) != rowBytes) png_error(r.Png, "unexpected pixel layout");
  r.Rgba.resize(rowBytes * r.Height);
  r.Rows.resize(r.Height);
  for (int y = 0; y < r.Height; ++y) r.Rows[y] = r.Rgba.data() + rowBytes * y;
  png_read_image(r.Png, r.Rows.data());
  png_read_end(r.Png, nullptr);
  return true;
}

// Over white, in the picture loader's own fixed-point formula.
std::uint32_t OverWhite(std::uint32_t colour, std::uint32_t alpha) {
  return (colour * alpha + 255 + 255 * (255 - alpha)) >> 8;
}

TPngPicture ComposePngPicture(const TPngReader& r) {
  TPngPicture picture;
  picture.ColorType = r.ColorType;
  picture.Bitmap.SetSize(r.Width, r.Height);
  const bool alphaRows = r.ColorType == PNG_COLOR_TYPE_GRAY_ALPHA || r.ColorType == PNG_COLOR_TYPE_RGB_ALPHA;
  if (alphaRows) picture.AlphaRows.resize(r.Height, std::vector<std::uint8_t>(r.Width));
  for (int y = 0; y < r.Height; ++y) {
    const std::uint8_t* in = r.Rows[y];
    std::uint32_t* out = picture.Bitmap.ScanLine(y);
    for (int x = 0; x < r.Width; ++x, in += 4) {
      const std::uint32_t a = in[3];
      out[x] = 0xFF000000u | (OverWhite(in[0], a) << 16) | (OverWhite(in[1], a) << 8) | OverWhite(in[2], a);
      if (alphaRows) picture.AlphaRows[y][x] = in[3];
    }
  }
  return picture;
}

}  // namespace

TPngPicture LoadPngPicture(const std::string& fileName) {
  const std::string bytes = ReadTextFile(fileName, kMaxPictureFileBytes);
  TPngReader reader;
  reader.Bytes = &bytes;
  reader.Png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &reader, OnPngError, OnPngWarning, nullptr,
                                        OnPngMalloc, OnPngFree);
  if (reader.Png) {
    IgnoreUnusedPngChunks(reader.Png);
    // libpng refuses larger headers itself (its default is a million a side),
    // and keeps a text or profile chunk that inflates without end to 1 MB.
    png_set_user_limits(reader.Png, png_uint_32(kMaxSide), png_uint_32(kMaxSide));
    png_set_chunk_malloc_max(reader.Png, 1 << 20);
    reader.Info = png_create_info_struct(reader.Png);
  }
  if (!reader.Info) throw Exception(Format("Cannot read PNG file %s: %s", fileName, "out of memory"));
  if (!DecodePng(reader)) throw Exception(Format("Cannot read PNG file %s: %s", fileName, reader.Error));
  return ComposePngPicture(reader);
}

void SavePng(const std::string& fileName, const TBitmap& bitmap) {
  RequirePicture(bitmap, fileName);
  // The simplified writer takes our B,G,R,A words as they are, with straight alpha.
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(bitmap.Width());
  image.height = png_uint_32(bitmap.Height());
  image.format = PNG_FORMAT_BGRA;
  const void* pixels = bitmap.ScanLine(0);
  const auto stride = png_int_32(bitmap.Image().bytesPerLine());
  png_alloc_size_t size = 0;
  std::string out;
  if (png_image_write_to_memory(&image, nullptr, &size, 0, pixels, stride, nullptr)) {
    out.resize(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, pixels, stride, nullptr)) out.clear();
  }
  if (out.empty()) throw Exception(Format("Cannot write PNG file %s: %s", fileName, image.message));
  WriteFileBytes(fileName, out.data(), size);
}

// ---- JPEG ----

namespace {

struct TJpegError {
  jpeg_error_mgr Manager{};
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX] = "unknown error";
};

// libjpeg's own error_exit ends the process; ours returns to the setjmp point.
void OnJpegError(j_common_ptr info) {
  auto* error = reinterpret_cast<TJpegError*>(info->err);
  info->err->format_message(info, error->Message);
  std::longjmp(error->Jump, 1);
}

// Warnings that leave the picture itself sound.
bool HarmlessJpegWarning(int code) {
  return code == JWRN_ADOBE_XFORM || code == JWRN_JFIF_MAJOR || code == JWRN_BOGUS_ICC;
}

// Damaged data is only a warning to libjpeg, which then fills the rest with
// grey: a file cut short, even one ending in a proper end marker, a bad code,
// a segment ending early. Each of these fails the load.
void OnJpegMessage(j_common_ptr info, int level) {
  if (level < 0 && !HarmlessJpegWarning(info->err->msg_code)) OnJpegError(info);
}

void OnJpegProgress(j_common_ptr info) {
  if (!info->is_decompressor) return;
  if (reinterpret_cast<j_decompress_ptr>(info)->input_scan_number <= kMaxJpegScans) return;
  auto* error = reinterpret_cast<TJpegError*>(info->err);
  std::snprintf(error->Message, sizeof error->Message, "more than %d scans", kMaxJpegScans);
  std::longjmp(error->Jump, 1);
}

void InstallJpegErrors(TJpegError& error) {
  jpeg_std_error(&error.Manager);
  error.Manager.error_exit = OnJpegError;
  error.Manager.emit_message = OnJpegMessage;
}

struct TJpegReader {
  jpeg_decompress_struct Info{};
  jpeg_progress_mgr Progress{};
  TJpegError Error;
  bool Created = false;
  TBitmap Pixels;  // made before the jump point, so a fault jumps over no destructor

  ~TJpegReader() {
    if (Created) jpeg_destroy_decompress(&Info);
  }
};

// Nothing with a destructor lives in this frame: libjpeg leaves it by longjmp.
bool DecodeJpeg(TJpegReader& r, const std::string& bytes) {
  InstallJpegErrors(r.Error);
  r.Info.err = &r.Error.Manager;
  if (setjmp(r.Error.Jump)) return false;
  r.Created = true;
  jpeg_create_decompress(&r.Info);
  // What a picture of the largest size needs (its coefficients, for a
  // progressive file) is far less; beyond it libjpeg fails cleanly.
  r.Info.mem->max_memory_to_use = kMaxJpegMemory;
  r.Progress.progress_monitor = OnJpegProgress;
  r.Info.progress = &r.Progress;
  jpeg_mem_src(&r.Info, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&r.Info, TRUE);
  if (!SizeAllowed(r.Info.image_width, r.Info.image_height)) {
    std::snprintf(r.Error.Message, sizeof r.Error.Message, "%s",
                  TooLarge(r.Info.image_width, r.Info.image_height).c_str());
    return false;
  }
  // B, G, R, $FF bytes are our pixel words as they lie in memory: the rows
  // are decoded straight into the bitmap.
  r.Info.out_color_space = JCS_EXT_BGRA;
  jpeg_start_decompress(&r.Info);
  r.Pixels = TBitmap(int(r.Info.output_width), int(r.Info.output_height));
  while (r.Info.output_scanline < r.Info.output_height) {
    JSAMPROW row = reinterpret_cast<JSAMPROW>(r.Pixels.ScanLine(int(r.Info.output_scanline)));
    jpeg_read_scanlines(&r.Info, &row, 1);
  }
  jpeg_finish_decompress(&r.Info);
  return true;
}

struct TJpegWriter {
  jpeg_compress_struct Info{};
  TJpegError Error;
  bool Created = false;
  unsigned char* Buffer = nullptr;  // malloc'ed by libjpeg's memory destination
  unsigned long Size = 0;
  std::vector<std::uint8_t> Row;

  ~TJpegWriter() {
    if (Created) jpeg_destroy_compress(&Info);
    std::free(Buffer);
  }
};

// Nothing with a destructor lives in this frame: libjpeg leaves it by longjmp.
bool EncodeJpeg(TJpegWriter& w, const TBitmap& bitmap, int quality) {
  InstallJpegErrors(w.Error);
  w.Info.err = &w.Error.Manager;
  if (setjmp(w.Error.Jump)) return false;
  w.Created = true;
  jpeg_create_compress(&w.Info);
  jpeg_mem_dest(&w.Info, &w.Buffer, &w.Size);
  w.Info.image_width = JDIMENSION(bitmap.Width());
  w.Info.image_height = JDIMENSION(bitmap.Height());
  w.Info.input_components = 3;
  w.Info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&w.Info);
  jpeg_set_quality(&w.Info, quality, TRUE);
  jpeg_start_compress(&w.Info, TRUE);
  w.Row.resize(std::size_t(bitmap.Width()) * 3);
  while (w.Info.next_scanline < w.Info.image_height) {
    const std::uint32_t* in = bitmap.ScanLine(int(w.Info.next_scanline));
    for (int x = 0; x < bitmap.Width(); ++x) {
      w.Row[3 * x] = std::uint8_t(in[x] >> 16);
      w.Row[3 * x + 1] = std::uint8_t(in[x] >> 8);
      w.Row[3 * x + 2] = std::uint8_t(in[x]);
    }
    JSAMPROW row = w.Row.data();
    jpeg_write_scanlines(&w.Info, &row, 1);
  }
  jpeg_finish_compress(&w.Info);
  return true;
}

}  // namespace

TBitmap LoadJpeg(const std::string& fileName) {
  const std::string bytes = ReadTextFile(fileName, kMaxPictureFileBytes);
  TJpegReader reader;
  if (!DecodeJpeg(reader, bytes))
    throw Exception(Format("Cannot read JPEG file %s: %s", fileName, reader.Error.Message));
  return std::move(reader.Pixels);
}

void SaveJpeg(const std::string& fileName, const TBitmap& bitmap, int quality) {
  RequirePicture(bitmap, fileName);
  TJpegWriter writer;
  if (!EncodeJpeg(writer, bitmap, std::clamp(quality, 1, 100)))
    throw Exception(Format("Cannot write JPEG file %s: %s", fileName, writer.Error.Message));
  WriteFileBytes(fileName, reinterpret_cast<const char*>(writer.Buffer), writer.Size);
}
