// The desktop's double-click time as an XSETTINGS manager publishes it, in
// either byte order, among settings of every type.
#include <cstdint>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "runtime/fltk/xsettings.h"

namespace {

// Builds a property's bytes the way a settings manager writes them.
class Settings {
 public:
  explicit Settings(bool msb) : msb_(msb) {
    bytes_.push_back(msb ? 1 : 0);
    bytes_.resize(4);
    Card(7);  // serial
    Card(0);  // count, filled in by Bytes()
  }
  Settings& Integer(const std::string& name, std::int32_t value) {
    Head(0, name);
    Card(static_cast<std::uint32_t>(value));
    ++count_;
    return *this;
  }
  Settings& Text(const std::string& name, const std::string& value) {
    Head(1, name);
    Card(static_cast<std::uint32_t>(value.size()));
    bytes_.insert(bytes_.end(), value.begin(), value.end());
    Pad();
    ++count_;
    return *this;
  }
  Settings& Colour(const std::string& name) {
    Head(2, name);
    bytes_.insert(bytes_.end(), 8, 0xFF);
    ++count_;
    return *this;
  }
  std::vector<unsigned char> Bytes() const {
    std::vector<unsigned char> out = bytes_;
    for (int i = 0; i < 4; ++i) out[8 + static_cast<std::size_t>(i)] = Byte(count_, i, 4);
    return out;
  }

 private:
  unsigned char Byte(std::uint32_t v, int i, int size) const {
    const int shift = 8 * (msb_ ? size - 1 - i : i);
    return static_cast<unsigned char>((v >> shift) & 0xFF);
  }
  void Card(std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes_.push_back(Byte(v, i, 4));
  }
  void Head(unsigned char type, const std::string& name) {
    bytes_.push_back(type);
    bytes_.push_back(0);
    for (int i = 0; i < 2; ++i) bytes_.push_back(Byte(static_cast<std::uint32_t>(name.size()), i, 2));
    bytes_.insert(bytes_.end(), name.begin(), name.end());
    Pad();
    Card(3);  // last change
  }
  void Pad() {
    while (bytes_.size() % 4 != 0) bytes_.push_back(0);
  }
  bool msb_;
  std::uint32_t count_ = 0;
  std::vector<unsigned char> bytes_;
};

// One integer setting's bytes, as a text or a name can hold them.
std::string IntegerEntry(const std::string& name, std::int32_t value) {
  const auto bytes = Settings(false).Integer(name, value).Bytes();
  return std::string(bytes.begin() + 12, bytes.end());
}

std::optional<std::int32_t> DoubleClick(const std::vector<unsigned char>& bytes, std::size_t cut = 0) {
  return rt::fltk::detail::XSettingsInteger(bytes.data(), bytes.size() - cut, "Net/DoubleClickTime");
}

TEST(XSettings, FindsTheDoubleClickTimeAmongOtherSettingsInEitherByteOrder) {
  for (bool msb : {false, true}) {
    // Names and texts of every length modulo 4, so that each padding counts.
    const auto bytes = Settings(msb)
                           .Text("Net/ThemeName", "Adwaita")
                           .Text("Gtk/FontName", "Cantarell 11")
                           .Integer("Xft/RGBA", 0)
                           .Colour("Gtk/Colour")
                           .Integer("Net/DoubleClick", 1)
                           .Integer("Net/DoubleClickTime", 400)
                           .Integer("Net/DndDragThreshold", 8)
                           .Bytes();
    EXPECT_EQ(DoubleClick(bytes), 400) << msb;
  }
  EXPECT_EQ(DoubleClick(Settings(true).Integer("Net/DoubleClickTime", 250).Bytes()), 250);
}

TEST(XSettings, NothingWhenAbsentOfAnotherTypeOrCutShort) {
  EXPECT_EQ(DoubleClick(Settings(false).Integer("Net/CursorBlinkTime", 1200).Bytes()), std::nullopt);
  EXPECT_EQ(DoubleClick(Settings(false).Text("Net/DoubleClickTime", "400").Bytes()), std::nullopt);
  const auto bytes = Settings(true).Text("Net/ThemeName", "Adwaita").Integer("Net/DoubleClickTime", 250).Bytes();
  ASSERT_EQ(DoubleClick(bytes), 250);
  EXPECT_EQ(DoubleClick(bytes, 1), std::nullopt);
  EXPECT_EQ(DoubleClick(bytes, 18), std::nullopt);  // inside its name
  EXPECT_EQ(DoubleClick(bytes, bytes.size() - 8), std::nullopt);
  // The bytes past the cut are still in memory: they must not be read.
  const auto after_colour = Settings(false).Colour("Gtk/Colour").Integer("Net/DoubleClickTime", 250).Bytes();
  EXPECT_EQ(DoubleClick(after_colour, 32 + 4), std::nullopt);
  // A text or a name cut short is not read on as if it were whole, where its
  // own bytes would read as the setting.
  const std::string hidden = IntegerEntry("Net/DoubleClickTime", 250);
  const auto cut_text = Settings(false).Text("Net/ThemeName", hidden + "01234567").Integer("Xft/DPI", 1).Bytes();
  EXPECT_EQ(DoubleClick(cut_text, 20 + 4), std::nullopt);
  const auto cut_name = Settings(false).Integer("01234567" + hidden + "0123", 1).Integer("Xft/DPI", 1).Bytes();
  EXPECT_EQ(DoubleClick(cut_name, 20 + 4 + 4 + 4), std::nullopt);
  auto past_count = Settings(false).Integer("Net/DoubleClick", 1).Integer("Net/DoubleClickTime", 250).Bytes();
  past_count[8] = 1;
  EXPECT_EQ(DoubleClick(past_count), std::nullopt);
  EXPECT_EQ(rt::fltk::detail::XSettingsInteger(nullptr, 0, "Net/DoubleClickTime"), std::nullopt);
  EXPECT_EQ(rt::fltk::detail::XSettingsInteger(nullptr, 64, "Net/DoubleClickTime"), std::nullopt);
}

}  // namespace
