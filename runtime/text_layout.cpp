// The shared line breaker and the access-key parsing of captions.
#include "runtime/text_layout.h"

#include <cctype>

namespace rt {

namespace {

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

class LineBuilder {
 public:
  LineBuilder(std::string_view text, int max_width, const FontRecord& font, TextMeasurer& measurer)
      : text_(text), max_(max_width), font_(font), measurer_(measurer) {}

  std::vector<std::string_view> Run() {
    std::size_t i = 0;
    const std::size_t n = text_.size();
    while (i < n) {
      const char c = text_[i];
      if (IsBreak(c)) {
        Emit(i);
        i += (c == '\r' && i + 1 < n && text_[i + 1] == '\n') ? 2 : 1;
        start_ = i;
      } else if (c == ' ') {
        i = PlaceBlanks(i);
      } else {
        i = PlaceWord(i);
      }
    }
    if (start_ < n) Emit(n);
    return std::move(lines_);
  }

 private:
  void Emit(std::size_t end) {
    lines_.push_back(text_.substr(start_, end - start_));
    width_ = 0;
    empty_ = true;
  }

  // Blanks take their width while they fit; the first that does not ends the
  // line, and the rest of the run is not carried to the next.
  std::size_t PlaceBlanks(std::size_t i) {
    std::size_t j = i;
    while (j < text_.size() && text_[j] == ' ') ++j;
    const int blank = measurer_.TextWidth(font_, " ");
    std::size_t k = i;
    while (k < j && width_ + blank <= max_) {
      width_ += blank;
      ++k;
    }
    if (k == j) {
      empty_ = false;
      return j;
    }
    if (!empty_ || k > i) Emit(k);
    start_ = j;
    width_ = 0;
    empty_ = true;
    return j;
  }

  std::size_t PlaceWord(std::size_t i) {
    std::size_t j = i;
    while (j < text_.size() && text_[j] != ' ' && !IsBreak(text_[j])) ++j;
    const int w = measurer_.TextWidth(font_, text_.substr(i, j - i));
    if (!empty_ && width_ + w > max_) {
      Emit(i);
      start_ = i;
    }
    if (width_ + w <= max_) {
      width_ += w;
      empty_ = false;
      return j;
    }
    // Wider than the whole label: break between characters, at least one a line.
    for (std::size_t k = i; k < j; ++k) {
      const int cw = measurer_.TextWidth(font_, text_.substr(k, 1));
      if (!empty_ && width_ + cw > max_) {
        Emit(k);
        start_ = k;
      }
      width_ += cw;
      empty_ = false;
    }
    return j;
  }

  std::string_view text_;
  int max_;
  const FontRecord& font_;
  TextMeasurer& measurer_;
  std::vector<std::string_view> lines_;
  std::size_t start_ = 0;
  int width_ = 0;
  bool empty_ = true;
};

}  // namespace

std::vector<std::string_view> BreakLines(std::string_view text, int max_width, const FontRecord& font,
                                         TextMeasurer& measurer) {
  return LineBuilder(text, max_width, font, measurer).Run();
}

AccessKeyText ParseAccessKey(std::string_view caption) {
  AccessKeyText out;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      out.shown += caption[i];
      continue;
    }
    if (i + 1 >= caption.size()) break;
    ++i;
    if (caption[i] != '&' && out.key_index < 0) {
      out.key_index = static_cast<int>(out.shown.size());
      out.key = static_cast<char>(std::toupper(static_cast<unsigned char>(caption[i])));
    }
    out.shown += caption[i];
  }
  return out;
}

}  // namespace rt
