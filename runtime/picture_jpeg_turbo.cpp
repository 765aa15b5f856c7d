// JPEG pixels through libjpeg-turbo, about twice as fast as stb_image here.
// libjpeg reports errors by calling back; ours jumps out of the decoder, so
// between the jump point and the decoder's return nothing with a destructor
// is made, and the pixels' buffer is sized before.
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>  // jpeglib.h needs FILE and size_t declared first
#include <string>

#include <jpeglib.h>
#include <jerror.h>

#include "error.h"
#include "picture_decoders.h"

namespace rt {

namespace {

struct ErrorManager {
  jpeg_error_mgr base;  // first: libjpeg hands back a pointer to it
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void Fail(j_common_ptr info) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, errors->message);
  std::longjmp(errors->jump, 1);
}

// libjpeg papers over damaged data with a warning and grey blocks; a damaged
// picture is refused instead, as stb_image refuses it.
void Warn(j_common_ptr info, int level) {
  if (level >= 0) return;
  switch (info->err->msg_code) {
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_JPEG_EOF:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
      Fail(info);
    default:
      return;
  }
}

// CMYK as stb_image turns it into RGB: each colour times black.
std::uint8_t Times(std::uint8_t x, std::uint8_t y) {
  const unsigned t = static_cast<unsigned>(x) * y + 128;
  return static_cast<std::uint8_t>((t + (t >> 8)) >> 8);
}

// False with errors.message set when the data does not decode to width x height.
bool Decode(jpeg_decompress_struct& info, ErrorManager& errors, std::span<const std::uint8_t> bytes,
            std::uint8_t* out, JDIMENSION width, JDIMENSION height) {
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = Fail;
  errors.base.emit_message = Warn;
  errors.message[0] = '\0';
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  const bool cmyk = info.num_components == 4;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
  jpeg_start_decompress(&info);
  if (info.output_width != width || info.output_height != height || info.output_components != 4) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  const std::size_t stride = static_cast<std::size_t>(width) * 4;
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = out + info.output_scanline * stride;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  if (cmyk) {
    for (std::size_t i = 0; i < stride * height; i += 4) {
      const std::uint8_t k = out[i + 3];
      out[i] = Times(out[i], k);
      out[i + 1] = Times(out[i + 1], k);
      out[i + 2] = Times(out[i + 2], k);
      out[i + 3] = 255;
    }
  }
  return true;
}

}  // namespace

Image DecodeJpegPixels(std::span<const std::uint8_t> bytes, std::uint64_t width, std::uint64_t height) {
  Image image;
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.pixels.resize(static_cast<std::size_t>(width * height * 4));
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  if (!Decode(info, errors, bytes, image.pixels.data(), static_cast<JDIMENSION>(width),
              static_cast<JDIMENSION>(height))) {
    Raise(ErrorNumber::kInvalidPicture,
          errors.message[0] ? std::string("undecodable: ") + errors.message : "size disagrees with header");
  }
  return image;
}

}  // namespace rt
