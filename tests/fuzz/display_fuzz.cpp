// What the display tells the program: the resource manager's text (any X
// client can set it), RandR's or Xinerama's monitor list, and the figures
// the DPI is chosen from.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/fltk/display.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using namespace rt::fltk;

class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool empty() const { return at_ >= size_; }
  template <typename T>
  T Take() {
    T value{};
    const std::size_t n = std::min(sizeof value, size_ - at_);
    if (n) std::memcpy(&value, data_ + at_, n);
    at_ += n;
    return value;
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_, at_ = 0;
};

void Resources(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  detail::XftDpiOfResources(text);
}

void Monitors(Bytes& in) {
  std::vector<Monitor> monitors;
  while (!in.empty() && monitors.size() < 64) {
    Monitor m;
    m.x = in.Take<std::int16_t>();
    m.y = in.Take<std::int16_t>();
    m.width = in.Take<std::uint16_t>();
    m.height = in.Take<std::uint16_t>();
    m.primary = in.Take<std::uint8_t>() & 1;
    monitors.push_back(m);
  }
  const auto chosen = detail::ChooseMonitor(monitors);
  bool any = false, any_primary = false;
  for (const Monitor& m : monitors) {
    const bool sized = m.width > 0 && m.height > 0;
    any |= sized;
    any_primary |= sized && m.primary;
  }
  FUZZ_CHECK(chosen.has_value() == any);
  if (!chosen) return;
  FUZZ_CHECK(chosen->width > 0 && chosen->height > 0);
  FUZZ_CHECK(chosen->primary == any_primary);
}

void Dpis(Bytes& in) {
  detail::DpiSources s;
  const std::uint8_t present = in.Take<std::uint8_t>();
  if (present & 1) s.xsettings = in.Take<std::int32_t>();
  if (present & 2) s.resource = in.Take<double>();
  s.width_px = in.Take<std::int32_t>();
  s.width_mm = in.Take<std::int32_t>();
  s.height_px = in.Take<std::int32_t>();
  s.height_mm = in.Take<std::int32_t>();
  const Dpi dpi = detail::ChooseDpi(s);
  for (double d : {dpi.x, dpi.y}) {
    FUZZ_CHECK(std::isfinite(d));
    FUZZ_CHECK(d >= 24 && d <= 1200);
    FUZZ_CHECK(d == std::round(d));
  }
}

}  // namespace

// libX11's resource parser compares a new name with each stored one over the
// new name's length (XrmStringToQuark's memcmp), past the end of a shorter
// stored name: ASan's strict memcmp check reports that, though the bytes
// differ before the end. Not ours, and ours calls it as Xlib itself does.
extern "C" const char* __asan_default_options() { return "strict_memcmp=0"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  Bytes rest(data + 1, size - 1);
  switch (data[0] % 3) {
    case 0: Resources(data + 1, size - 1); break;
    case 1: Monitors(rest); break;
    case 2: Dpis(rest); break;
  }
  return 0;
}
