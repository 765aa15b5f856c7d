// The desktop's settings as an XSETTINGS manager publishes them (GNOME, Xfce,
// KDE and others): the byte layout of the _XSETTINGS_SETTINGS property, read
// here without X so that it can be tested alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace rt::fltk::detail {

// The integer setting `name` ("Net/DoubleClickTime") of a property's bytes;
// nothing when it is absent, of another type, or the bytes are cut short.
std::optional<std::int32_t> XSettingsInteger(const unsigned char* data, std::size_t size, std::string_view name);

}  // namespace rt::fltk::detail
