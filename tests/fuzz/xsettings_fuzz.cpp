// The _XSETTINGS_SETTINGS property as any X client can write it.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "runtime/fltk/xsettings.h"
#include "tests/fuzz/fuzz_check.h"

using rt::fltk::detail::XSettingsInteger;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A copy of exactly the property's size: a read past it is a fault.
  std::vector<unsigned char> property(data, data + size);
  const unsigned char* p = property.empty() ? nullptr : property.data();
  for (const char* name : {"Xft/DPI", "Net/DoubleClickTime", ""}) {
    const auto value = XSettingsInteger(p, property.size(), name);
    // A property cut short anywhere answers as it did before the cut, or not at all.
    if (!value || property.size() <= 12) continue;
    const auto shorter = XSettingsInteger(p, property.size() - 1, name);
    FUZZ_CHECK(!shorter || *shorter == *value);
  }
  return 0;
}
