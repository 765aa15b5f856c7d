// XSETTINGS: a byte-order mark, a serial, a count, then each setting as a
// type, a padded name, a serial and a value (integer, padded string, or four
// 16-bit colour parts).
#include "runtime/fltk/xsettings.h"

namespace rt::fltk::detail {

namespace {

constexpr std::size_t Padded(std::size_t n) { return (n + 3) & ~std::size_t{3}; }

class Reader {
 public:
  Reader(const unsigned char* data, std::size_t size, bool msb_first) : data_(data), size_(size), msb_(msb_first) {}
  bool Skip(std::size_t n) {
    if (size_ - at_ < n) return false;
    at_ += n;
    return true;
  }
  bool Card(std::size_t bytes, std::uint32_t& out) {
    if (size_ - at_ < bytes) return false;
    out = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
      const std::uint32_t b = data_[at_ + (msb_ ? i : bytes - 1 - i)];
      out = (out << 8) | b;
    }
    at_ += bytes;
    return true;
  }
  bool Text(std::size_t n, std::string_view& out) {
    if (size_ - at_ < n) return false;
    out = std::string_view(reinterpret_cast<const char*>(data_ + at_), n);
    at_ += n;
    return true;
  }

 private:
  const unsigned char* data_;
  std::size_t size_;
  std::size_t at_ = 0;
  bool msb_;
};

enum : std::uint32_t { kInteger = 0, kString = 1, kColour = 2 };

}  // namespace

std::optional<std::int32_t> XSettingsInteger(const unsigned char* data, std::size_t size, std::string_view name) {
  if (data == nullptr || size < 12) return std::nullopt;
  Reader r(data, size, data[0] != 0);
  std::uint32_t count = 0, ignored = 0;
  if (!r.Skip(4) || !r.Card(4, ignored) || !r.Card(4, count)) return std::nullopt;
  for (std::uint32_t i = 0; i < count; ++i) {
    std::uint32_t type = 0, name_length = 0;
    std::string_view setting;
    if (!r.Card(1, type) || !r.Skip(1) || !r.Card(2, name_length) || !r.Text(name_length, setting) ||
        !r.Skip(Padded(name_length) - name_length) || !r.Card(4, ignored))
      return std::nullopt;
    switch (type) {
      case kInteger: {
        std::uint32_t value = 0;
        if (!r.Card(4, value)) return std::nullopt;
        if (setting == name) return static_cast<std::int32_t>(value);
        break;
      }
      case kString: {
        std::uint32_t length = 0;
        if (!r.Card(4, length) || !r.Skip(Padded(length))) return std::nullopt;
        break;
      }
      case kColour:
        if (!r.Skip(8)) return std::nullopt;
        break;
      default:
        return std::nullopt;  // the rest cannot be found
    }
    if (setting == name) return std::nullopt;  // there, but not an integer
  }
  return std::nullopt;
}

}  // namespace rt::fltk::detail
