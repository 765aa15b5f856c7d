// Picture decoding for the runtime: BMP through stb_image and JPEG through the
// build's JPEG decoder, each after a structural check of our own; ICO through
// a small parser of our own.
#include "picture.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "error.h"

#include "picture_decoders.h"

namespace rt {

PixelBuffer PixelBuffer::Adopt(std::uint8_t* block, std::size_t size) {
  PixelBuffer b;
  b.block_.reset(block);
  b.size_ = block ? size : 0;
  return b;
}

PixelBuffer& PixelBuffer::operator=(const PixelBuffer& other) {
  if (this != &other) {
    resize(0);
    resize(other.size_);
    if (size_) std::memcpy(data(), other.data(), size_);
  }
  return *this;
}

void PixelBuffer::resize(std::size_t count) {
  if (count == size_) return;
  if (count == 0) {
    block_.reset();
    size_ = 0;
    return;
  }
  auto* grown = static_cast<std::uint8_t*>(std::realloc(block_.get(), count));
  if (!grown) throw std::bad_alloc();
  static_cast<void>(block_.release());
  block_.reset(grown);
  if (count > size_) std::memset(grown + size_, 0, count - size_);
  size_ = count;
}

bool operator==(const PixelBuffer& a, const PixelBuffer& b) {
  return a.size_ == b.size_ && (a.size_ == 0 || std::memcmp(a.data(), b.data(), a.size_) == 0);
}

namespace {

// A window's pictures are small; anything past this is a forged header, and
// refusing it keeps a corrupt file from asking for gigabytes.
constexpr std::uint64_t kMaxSide = 8192;
constexpr std::uint64_t kMaxPixels = 4096ull * 4096ull;
constexpr std::uint64_t kMaxIconSide = 1024;

[[noreturn]] void Invalid(const std::string& detail) {
  Raise(ErrorNumber::kInvalidPicture, detail);
}

// Bounds-checked little and big endian reads over the whole buffer.
class Reader {
 public:
  explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  std::size_t size() const { return bytes_.size(); }
  bool Has(std::uint64_t offset, std::uint64_t count) const {
    return offset <= bytes_.size() && count <= bytes_.size() - offset;
  }
  void Need(std::uint64_t offset, std::uint64_t count, const char* what) const {
    if (!Has(offset, count)) Invalid(std::string("truncated ") + what);
  }
  std::uint8_t U8(std::uint64_t at) const {
    Need(at, 1, "data");
    return bytes_[at];
  }
  std::uint16_t U16(std::uint64_t at) const {
    Need(at, 2, "data");
    return static_cast<std::uint16_t>(bytes_[at] | (bytes_[at + 1] << 8));
  }
  std::uint16_t U16be(std::uint64_t at) const {
    Need(at, 2, "data");
    return static_cast<std::uint16_t>((bytes_[at] << 8) | bytes_[at + 1]);
  }
  std::uint32_t U32(std::uint64_t at) const {
    Need(at, 4, "data");
    return static_cast<std::uint32_t>(bytes_[at]) |
           (static_cast<std::uint32_t>(bytes_[at + 1]) << 8) |
           (static_cast<std::uint32_t>(bytes_[at + 2]) << 16) |
           (static_cast<std::uint32_t>(bytes_[at + 3]) << 24);
  }
  // The offset of the next byte `value` from `from` on, or size() if none.
  std::uint64_t Find(std::uint64_t from, std::uint8_t value) const {
    if (from >= bytes_.size()) return bytes_.size();
    const void* hit = std::memchr(bytes_.data() + from, value, bytes_.size() - from);
    return hit ? static_cast<std::uint64_t>(static_cast<const std::uint8_t*>(hit) - bytes_.data()) : bytes_.size();
  }
  std::int32_t S32(std::uint64_t at) const {
    std::uint32_t u = U32(at);
    std::int32_t s;
    std::memcpy(&s, &u, sizeof s);
    return s;
  }

 private:
  std::span<const std::uint8_t> bytes_;
};

void CheckSize(std::uint64_t width, std::uint64_t height) {
  if (width == 0 || height == 0) Invalid("empty picture");
  if (width > kMaxSide || height > kMaxSide || width * height > kMaxPixels)
    Invalid("picture too large");
}

std::uint64_t RowStride(std::uint64_t width, std::uint64_t bits) {
  return (width * bits + 31) / 32 * 4;
}

Image DecodeBmp(std::span<const std::uint8_t> bytes) {
  Reader r(bytes);
  r.Need(0, 18, "BMP header");
  std::uint64_t pixel_offset = r.U32(10);
  std::uint64_t header_size = r.U32(14);
  std::uint64_t width, height, bits, compression = 0, colours = 0, entry = 4;
  if (header_size == 12) {
    r.Need(14, 12, "BMP core header");
    width = r.U16(18);
    height = r.U16(20);
    bits = r.U16(24);
    entry = 3;
  } else if (header_size == 40 || header_size == 52 || header_size == 56 ||
             header_size == 108 || header_size == 124) {
    r.Need(14, header_size, "BMP info header");
    std::int32_t w = r.S32(18);
    std::int32_t h = r.S32(22);
    if (w <= 0 || h == 0 || h == INT32_MIN) Invalid("bad BMP size");
    width = static_cast<std::uint64_t>(w);
    height = static_cast<std::uint64_t>(h < 0 ? -static_cast<std::int64_t>(h) : h);
    if (r.U16(26) != 1) Invalid("bad BMP planes");
    bits = r.U16(28);
    compression = r.U32(30);
    colours = r.U32(46);
  } else {
    Invalid("unknown BMP header");
  }
  CheckSize(width, height);
  if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    Invalid("bad BMP depth");
  // stb_image reads no RLE; bit fields only make sense for 16 and 32 bits.
  if (compression != 0 && !(compression == 3 && (bits == 16 || bits == 32)))
    Invalid("unsupported BMP compression");
  std::uint64_t table_end = 14 + header_size;
  if (compression == 3 && header_size == 40) table_end += 12;
  if (bits <= 8) {
    std::uint64_t max = 1ull << bits;
    if (colours == 0) colours = max;
    if (colours > max) Invalid("bad BMP palette size");
    table_end += colours * entry;
  }
  r.Need(0, table_end, "BMP palette");
  if (pixel_offset < table_end) Invalid("BMP pixels overlap the header");
  r.Need(pixel_offset, RowStride(width, bits) * height, "BMP pixels");
  if (header_size == 12 && bits <= 8) {
    // stb_image counts a core header's palette four entries short and then
    // looks up colours it never read: twelve bytes more between the palette
    // and the pixels make its count right.
    PixelBuffer padded;
    padded.resize(bytes.size() + 12);
    std::memcpy(padded.data(), bytes.data(), table_end);
    std::memcpy(padded.data() + table_end + 12, bytes.data() + table_end, bytes.size() - table_end);
    for (int i = 0; i < 4; ++i) padded[10 + i] = static_cast<std::uint8_t>((pixel_offset + 12) >> (8 * i));
    return DecodeWithStb({padded.data(), padded.size()}, width, height);
  }
  return DecodeWithStb(bytes, width, height);
}

bool IsStartOfFrame(std::uint8_t marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
         marker != 0xCC;
}

// What the marker segments before a scan have defined so far.
struct JpegTables {
  bool quant[4] = {};
  bool dc[4] = {};
  bool ac[4] = {};
  std::uint8_t ids[4] = {};
  std::uint8_t quant_of[4] = {};
  std::uint64_t components = 0;
};

void ReadQuantTables(const Reader& r, std::uint64_t at, std::uint64_t end, JpegTables& t) {
  while (at < end) {
    std::uint8_t pq = r.U8(at) >> 4, tq = r.U8(at) & 15;
    if (pq > 1 || tq > 3) Invalid("bad JPEG quantization table");
    at += 1 + 64 * (pq + 1ull);
    if (at > end) Invalid("short JPEG quantization table");
    t.quant[tq] = true;
  }
}

// stb_image trusts the code counts: more than 256 codes would overrun its
// tables, and a scan using a table never defined reads uninitialized memory.
void ReadHuffmanTables(const Reader& r, std::uint64_t at, std::uint64_t end, JpegTables& t) {
  while (at < end) {
    std::uint8_t tc = r.U8(at) >> 4, th = r.U8(at) & 15;
    if (tc > 1 || th > 3) Invalid("bad JPEG Huffman table");
    if (end - at < 17) Invalid("short JPEG Huffman table");
    std::uint64_t codes = 0;
    for (int i = 1; i <= 16; ++i) codes += r.U8(at + i);
    if (codes > 256) Invalid("too many JPEG Huffman codes");
    at += 17 + codes;
    if (at > end) Invalid("short JPEG Huffman table");
    (tc == 0 ? t.dc : t.ac)[th] = true;
  }
}

void CheckScanHeader(const Reader& r, std::uint64_t at, std::uint64_t length, const JpegTables& t) {
  std::uint64_t n = r.U8(at + 2);
  if (n < 1 || n > t.components || length != 6 + 2 * n) Invalid("bad JPEG scan header");
  for (std::uint64_t i = 0; i < n; ++i) {
    std::uint8_t id = r.U8(at + 3 + 2 * i), tables = r.U8(at + 4 + 2 * i);
    std::uint64_t c = 0;
    while (c < t.components && t.ids[c] != id) ++c;
    if (c == t.components) Invalid("JPEG scan of an unknown component");
    std::uint8_t td = tables >> 4, ta = tables & 15;
    if (td > 3 || ta > 3 || !t.dc[td] || !t.ac[ta]) Invalid("JPEG scan without its Huffman tables");
    if (!t.quant[t.quant_of[c]]) Invalid("JPEG scan without its quantization table");
  }
}

// Walks the marker segments and entropy-coded scans, so that a file cut short
// or with segment lengths pointing past its end is refused before stb_image
// (decoders pad missing bytes) gets to see it.
Image DecodeJpeg(std::span<const std::uint8_t> bytes) {
  Reader r(bytes);
  if (r.size() < 4 || r.U8(0) != 0xFF || r.U8(1) != 0xD8) Invalid("no JPEG start");
  std::uint64_t pos = 2, width = 0, height = 0;
  bool frame = false, scan = false;
  JpegTables tables;
  for (;;) {
    if (r.U8(pos) != 0xFF) Invalid("JPEG marker expected");
    while (r.U8(pos) == 0xFF) ++pos;
    std::uint8_t marker = r.U8(pos++);
    if (marker == 0xD9) break;
    if (marker == 0xD8 || marker == 0x00) Invalid("misplaced JPEG marker");
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) continue;
    std::uint64_t length = r.U16be(pos);
    if (length < 2) Invalid("bad JPEG segment length");
    r.Need(pos, length, "JPEG segment");
    if (IsStartOfFrame(marker)) {
      // Like the picture loader of the original runtime: sequential Huffman
      // coding only, no progressive or arithmetic-coded files.
      if (marker != 0xC0 && marker != 0xC1) Invalid("unsupported JPEG coding");
      if (frame) Invalid("second JPEG frame");
      if (length < 8) Invalid("short JPEG frame header");
      if (r.U8(pos + 2) != 8) Invalid("JPEG precision not 8 bits");
      height = r.U16be(pos + 3);
      width = r.U16be(pos + 5);
      std::uint64_t components = r.U8(pos + 7);
      if (components != 1 && components != 3 && components != 4)
        Invalid("bad JPEG component count");
      if (length != 8 + 3 * components) Invalid("bad JPEG frame length");
      CheckSize(width, height);
      tables.components = components;
      for (std::uint64_t c = 0; c < components; ++c) {
        tables.ids[c] = r.U8(pos + 8 + 3 * c);
        tables.quant_of[c] = r.U8(pos + 10 + 3 * c);
        if (tables.quant_of[c] > 3) Invalid("bad JPEG quantization table number");
      }
      frame = true;
    } else if (marker == 0xDB) {
      ReadQuantTables(r, pos + 2, pos + length, tables);
    } else if (marker == 0xC4) {
      ReadHuffmanTables(r, pos + 2, pos + length, tables);
    } else if (marker == 0xDA) {
      if (!frame) Invalid("JPEG scan before frame");
      CheckScanHeader(r, pos, length, tables);
    }
    pos += length;
    if (marker == 0xDA) {
      scan = true;
      for (;;) {
        pos = r.Find(pos, 0xFF);
        if (!r.Has(pos, 2)) Invalid("truncated JPEG scan");
        std::uint8_t next = r.U8(pos + 1);
        if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
          pos += 2;
        } else if (next == 0xFF) {
          ++pos;
        } else {
          break;
        }
      }
    }
  }
  if (!frame || !scan) Invalid("JPEG without image data");
  return DecodeJpegPixels(bytes, width, height);
}

Image DecodeIco(std::span<const std::uint8_t> bytes) {
  Reader r(bytes);
  r.Need(0, 6, "icon header");
  std::uint64_t count = r.U16(4);
  if (count == 0) Invalid("icon without images");
  r.Need(6, 16 * count, "icon directory");
  // The largest image, of the deepest colour among those, as Windows shows it
  // best on a window.
  std::uint64_t best = 0, best_area = 0, best_bits = 0;
  for (std::uint64_t i = 0; i < count; ++i) {
    std::uint64_t at = 6 + 16 * i;
    std::uint64_t w = r.U8(at) ? r.U8(at) : 256;
    std::uint64_t h = r.U8(at + 1) ? r.U8(at + 1) : 256;
    std::uint64_t bits = r.U16(at + 6);
    if (w * h > best_area || (w * h == best_area && bits > best_bits)) {
      best = i;
      best_area = w * h;
      best_bits = bits;
    }
  }
  std::uint64_t entry = 6 + 16 * best;
  std::uint64_t length = r.U32(entry + 8);
  std::uint64_t start = r.U32(entry + 12);
  r.Need(start, length, "icon image");
  if (length >= 8 && r.U8(start) == 0x89 && r.U8(start + 1) == 'P')
    Invalid("PNG icons are not supported");
  // From here on every read stays inside the image's own bytes.
  Reader img(bytes.subspan(start, length));
  img.Need(0, 40, "icon bitmap header");
  std::uint64_t header_size = img.U32(0);
  if (header_size < 40) Invalid("bad icon bitmap header");
  img.Need(0, header_size, "icon bitmap header");
  std::int32_t w32 = img.S32(4);
  std::int32_t h32 = img.S32(8);
  if (w32 <= 0 || h32 <= 0 || h32 % 2 != 0) Invalid("bad icon size");
  std::uint64_t width = static_cast<std::uint64_t>(w32);
  std::uint64_t height = static_cast<std::uint64_t>(h32) / 2;
  if (width > kMaxIconSide || height > kMaxIconSide) Invalid("icon too large");
  std::uint64_t bits = img.U16(14);
  if (img.U32(16) != 0) Invalid("compressed icon bitmap");
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
    Invalid("bad icon depth");
  std::uint64_t colours = 0;
  if (bits <= 8) {
    colours = img.U32(32);
    if (colours == 0) colours = 1ull << bits;
    if (colours > (1ull << bits)) Invalid("bad icon palette size");
  }
  std::uint64_t palette = header_size;
  std::uint64_t xor_at = palette + 4 * colours;
  std::uint64_t xor_stride = RowStride(width, bits);
  std::uint64_t and_at = xor_at + xor_stride * height;
  std::uint64_t and_stride = RowStride(width, 1);
  img.Need(xor_at, xor_stride * height, "icon colour bits");
  // 32-bit icons carry their transparency in the alpha bytes; some omit the mask.
  bool has_mask = img.Has(and_at, and_stride * height);
  if (!has_mask && bits != 32) Invalid("truncated icon mask");

  Image image;
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.pixels.resize(width * height * 4);
  bool any_alpha = false;
  for (std::uint64_t y = 0; y < height; ++y) {
    std::uint64_t row = xor_at + (height - 1 - y) * xor_stride;
    std::uint8_t* out = image.pixels.data() + y * width * 4;
    for (std::uint64_t x = 0; x < width; ++x, out += 4) {
      if (bits >= 24) {
        std::uint64_t p = row + x * (bits / 8);
        out[0] = img.U8(p + 2);
        out[1] = img.U8(p + 1);
        out[2] = img.U8(p);
        out[3] = bits == 32 ? img.U8(p + 3) : 255;
        if (out[3] != 0 && bits == 32) any_alpha = true;
        continue;
      }
      std::uint64_t bit = x * bits;
      std::uint64_t index = (img.U8(row + bit / 8) >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
      if (index >= colours) Invalid("icon colour outside the palette");
      std::uint64_t q = palette + 4 * index;
      out[0] = img.U8(q + 2);
      out[1] = img.U8(q + 1);
      out[2] = img.U8(q);
      out[3] = 255;
    }
  }
  if (bits == 32 && any_alpha) return image;
  for (std::uint64_t y = 0; y < height; ++y) {
    std::uint8_t* out = image.pixels.data() + y * width * 4;
    std::uint64_t row = and_at + (height - 1 - y) * and_stride;
    for (std::uint64_t x = 0; x < width; ++x, out += 4) {
      out[3] = 255;
      if (has_mask && ((img.U8(row + x / 8) >> (7 - x % 8)) & 1)) out[3] = 0;
    }
  }
  return image;
}

}  // namespace

PictureFormat DetectPictureFormat(std::span<const std::uint8_t> bytes) {
  if (bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return PictureFormat::kBmp;
  if (bytes.size() >= 4 && bytes[0] == 0 && bytes[1] == 0 && (bytes[2] == 1 || bytes[2] == 2) &&
      bytes[3] == 0)
    return PictureFormat::kIco;
  if (bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF)
    return PictureFormat::kJpeg;
  return PictureFormat::kUnknown;
}

namespace {

Image DecodeRgba(std::span<const std::uint8_t> bytes) {
  switch (DetectPictureFormat(bytes)) {
    case PictureFormat::kBmp:
      return DecodeBmp(bytes);
    case PictureFormat::kIco:
      return DecodeIco(bytes);
    case PictureFormat::kJpeg:
      return DecodeJpeg(bytes);
    case PictureFormat::kUnknown:
      break;
  }
  Invalid("unknown picture format");
}

}  // namespace

Image DecodePicture(std::span<const std::uint8_t> bytes, PixelOrder order) {
  Image image = DecodeRgba(bytes);
  if (order == PixelOrder::kBgra) {
    for (std::size_t i = 0; i + 3 < image.pixels.size(); i += 4) std::swap(image.pixels[i], image.pixels[i + 2]);
    image.order = order;
  }
  return image;
}

}  // namespace rt
