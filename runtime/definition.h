// The window definition model: what a window and its controls look like when
// they are loaded. Definitions are constant data; every load starts from them,
// and nothing the code changes at run time is written back.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "runtime/types.h"

namespace rt {

// 32 bits: with the high bit clear an explicit 0x00BBGGRR, with it set the low
// byte indexes a system colour that is looked up when drawing.
struct Colour {
  std::uint32_t value = 0;

  constexpr bool IsSystem() const { return (value & 0x80000000u) != 0; }
  constexpr std::uint8_t SystemIndex() const { return value & 0xFFu; }
  constexpr std::uint8_t Red() const { return value & 0xFFu; }
  constexpr std::uint8_t Green() const { return (value >> 8) & 0xFFu; }
  constexpr std::uint8_t Blue() const { return (value >> 16) & 0xFFu; }
  constexpr bool operator==(const Colour&) const = default;
};

inline constexpr std::uint8_t kSysColourButtonFace = 15;
inline constexpr Colour kSystemWindowColour{0x80000005u};
inline constexpr Colour kSystemWindowTextColour{0x80000008u};

inline constexpr std::uint8_t kFontItalic = 0x02;
inline constexpr std::uint8_t kFontUnderline = 0x04;
inline constexpr std::uint8_t kFontStrikethrough = 0x08;

struct FontRecord {
  std::uint8_t version = 1;
  std::uint16_t charset = 0;  // 0 = ANSI
  std::uint8_t style = 0;
  std::uint16_t weight = 400;
  std::uint32_t size = 82500;  // ten-thousandths of a point
  std::string_view face{};

  constexpr double Points() const { return size / 10000.0; }
  constexpr bool Bold() const { return weight >= 600; }
  constexpr bool operator==(const FontRecord&) const = default;
};

// A picture is held whole, as the bytes of its own file; empty means none.
using PictureBytes = std::span<const std::uint8_t>;

enum class IconKind : std::uint8_t {
  kStandard,  // not given: the runtime's standard window icon
  kNone,      // the explicit no-icon mark: no icon at all
  kPicture,
};

struct IconSetting {
  IconKind kind = IconKind::kStandard;
  PictureBytes picture{};
};

enum class ControlKind : std::uint8_t { kButton, kLabel, kImage };

inline constexpr int kBackStyleTransparent = 0;
inline constexpr int kBackStyleOpaque = 1;
inline constexpr int kBorderNone = 0;
inline constexpr int kBorderSingle = 1;

struct ControlDef {
  std::uint8_t id = 0;  // 1-based place in the window's list
  std::string_view name{};
  ControlKind kind = ControlKind::kButton;
  std::int16_t left = 0, top = 0, width = 0, height = 0;  // twips

  // Buttons and labels.
  std::string_view caption{};
  std::uint16_t tab_index = 0;
  // Buttons.
  Boolean visible = True;
  Boolean is_default = False;
  Boolean cancel = False;
  std::string_view tooltip{};
  // Labels.
  std::optional<Colour> fore_color{};
  std::optional<Colour> back_color{};
  int back_style = kBackStyleOpaque;
  std::optional<FontRecord> font{};
  // Images.
  PictureBytes picture{};
  Boolean stretch = False;
  int border_style = kBorderNone;
};

inline constexpr int kWindowStateNormal = 0;
inline constexpr int kWindowStateMaximized = 2;

struct WindowDef {
  std::string_view name{};
  std::string_view caption{};
  std::optional<Colour> back_color{};
  int window_state = kWindowStateNormal;
  IconSetting icon{};
  PictureBytes picture{};
  Long client_left = 0, client_top = 0;
  Long client_width = 0, client_height = 0;
  std::span<const ControlDef> controls{};
};

}  // namespace rt
