// The shared line breaker: every blank counts, nothing of a word is lost.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "forms/look.h"
#include "forms/texts.h"
#include "runtime/headless/fonts.h"
#include "runtime/text_layout.h"

namespace {

using rt::BreakLines;

// One pixel per character, so that expectations can be counted by hand.
class Monospace final : public rt::TextMeasurer {
 public:
  int TextWidth(const rt::FontRecord&, std::string_view text) override { return static_cast<int>(text.size()); }
  int LineHeight(const rt::FontRecord&) override { return 1; }
};

std::vector<std::string> Break(std::string_view text, int width) {
  Monospace m;
  std::vector<std::string> out;
  for (auto line : BreakLines(text, width, rt::kStandardFont, m)) out.emplace_back(line);
  return out;
}

using Lines = std::vector<std::string>;

TEST(BreakLines, WrapsAtBlanksAndKeepsFittingBlanksOnTheLine) {
  EXPECT_EQ(Break("abc def", 5), (Lines{"abc ", "def"}));
  EXPECT_EQ(Break("abc def", 7), (Lines{"abc def"}));
  EXPECT_EQ(Break("a b c d", 3), (Lines{"a b", "c d"}));
}

TEST(BreakLines, RunOfBlanksPushesTheNextWordOntoTheNextLine) {
  EXPECT_EQ(Break("ab     cd", 8), (Lines{"ab     ", "cd"}));
  EXPECT_EQ(Break("ab     cd", 9), (Lines{"ab     cd"}));
}

TEST(BreakLines, BlanksReachingTheLineEndAreNotCarriedOver) {
  EXPECT_EQ(Break("ab          cd", 8), (Lines{"ab      ", "cd"}));
  // A leading run wider than the label still leaves the text shown.
  EXPECT_EQ(Break(std::string(12, ' ') + "xy", 5), (Lines{"     ", "xy"}));
  EXPECT_EQ(Break("ab" + std::string(30, ' ') + "cd" + std::string(30, ' ') + "ef", 6),
            (Lines{"ab    ", "cd    ", "ef"}));
}

TEST(BreakLines, WordWiderThanTheLabelIsBrokenNotHidden) {
  EXPECT_EQ(Break("abcdefghij", 4), (Lines{"abcd", "efgh", "ij"}));
  EXPECT_EQ(Break("x abcdefghij", 4), (Lines{"x ", "abcd", "efgh", "ij"}));
  EXPECT_EQ(Break("abcdefghij x", 4), (Lines{"abcd", "efgh", "ij x"}));
  // After a hard break, or blanks that ended a line, a new line begins.
  EXPECT_EQ(Break("ab\ncdefgh", 4), (Lines{"ab", "cdef", "gh"}));
  EXPECT_EQ(Break("ab" + std::string(10, ' ') + "cdefgh", 4), (Lines{"ab  ", "cdef", "gh"}));
  // A label narrower than a blank: no line of nothing.
  EXPECT_EQ(Break(" ab", 0), (Lines{"a", "b"}));
}

TEST(BreakLines, HardBreaksAndNothingTrimmed) {
  EXPECT_EQ(Break("ab\r\ncd\nef", 10), (Lines{"ab", "cd", "ef"}));
  // CR LF is one break; CR, LF and LF CR each alone, one line each.
  EXPECT_EQ(Break("ab\rcd\n\nef\r\rgh\n\rij", 10), (Lines{"ab", "cd", "", "ef", "", "gh", "", "ij"}));
  EXPECT_EQ(Break("ab\r\n\r\ncd\r", 10), (Lines{"ab", "", "cd"}));
  EXPECT_EQ(Break("ab\r\n", 10), (Lines{"ab"}));
  EXPECT_EQ(Break("  ab", 10), (Lines{"  ab"}));
  EXPECT_TRUE(Break("", 10).empty());
}

std::vector<std::string> Words(std::string_view text) {
  std::istringstream in{std::string(text)};
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

std::string NonBlank(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != ' ') out += c;
  return out;
}

const std::string kManual = forms::texts::ManualNotice();
const std::string kGame = forms::texts::GameQuestion();
const std::string kSound = forms::texts::SoundNotice();

// Every real text, at its label's width and at many others: each line fits,
// and joining the lines gives back every character of the text in order.
TEST(BreakLines, RealTextsKeepEveryWordAndFitTheirLabels) {
  rt::headless::FontModel fonts(96);
  const struct {
    std::string_view text;
    const rt::FontRecord& font;
    int label_width;
  } texts[] = {{forms::texts::kT1, forms::kSansSerif975, 209}, {forms::texts::kT2, forms::kArialBold1275, 233},
               {forms::texts::kT3, forms::kSansSerif975, 249},  {forms::texts::kT4, forms::kSansSerif975, 265},
               {kManual, forms::kSansSerif975, 249},                {kGame, forms::kSansSerif975, 265},
               {kSound, forms::kSansSerif975, 265}};
  for (const auto& t : texts) {
    for (int width : {t.label_width, 40, 100, 180, 320, 600}) {
      const auto lines = BreakLines(t.text, width, t.font, fonts);
      std::string joined;
      for (auto line : lines) {
        EXPECT_LE(fonts.TextWidth(t.font, line), width) << t.text << " @" << width << ": [" << line << "]";
        joined += std::string(line) + " ";
      }
      EXPECT_EQ(NonBlank(joined), NonBlank(t.text)) << t.text << " @" << width;
      // Words are only broken where a single word is wider than the label.
      if (width >= t.label_width) {
        EXPECT_EQ(Words(joined), Words(t.text)) << t.text << " @" << width;
      }
    }
  }
}

TEST(BreakLines, SoundNoticeRunsLayOutTheThreeLines) {
  // At the notice label's width each long run of blanks ends a line, so the
  // notice reads as three lines starting with "Vor", "erst" and "die".
  rt::headless::FontModel fonts(96);
  const auto lines = BreakLines(kSound, 265, forms::kSansSerif975, fonts);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0].substr(0, 5), "  Vor");
  EXPECT_EQ(Words(lines[0]).size(), 6u);
  EXPECT_EQ(Words(lines[1]).front(), "erst");
}

TEST(BreakLines, LeadingRunOfManualNoticeKeepsItsWidth) {
  rt::headless::FontModel fonts(96);
  const auto lines = BreakLines(kManual, 249, forms::kSansSerif975, fonts);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].find_first_not_of(' ') == std::string_view::npos ? lines[0].size() : lines[0].find_first_not_of(' '),
            77u);
}

TEST(ParseAccessKey, MarksTheKeyAndHidesTheAmpersand) {
  struct Case {
    std::string_view caption, shown;
    int key_index;
    char key;
  };
  // The first mark counts; "&&" is a shown "&"; a mark at the very end marks
  // nothing and is not shown.
  const Case cases[] = {
      {"&Ja", "Ja", 0, 'J'},       {"&Ende", "Ende", 0, 'E'}, {"A&&B &c", "A&B c", 4, 'C'},
      {"OK", "OK", -1, 0},         {"Ja&", "Ja", -1, 0},      {"a&&b", "a&b", -1, 0},
      {"&Ja &Nein", "Ja Nein", 0, 'J'},
  };
  for (const Case& c : cases) {
    const auto parsed = rt::ParseAccessKey(c.caption);
    EXPECT_EQ(parsed.shown, c.shown) << c.caption;
    EXPECT_EQ(parsed.key_index, c.key_index) << c.caption;
    EXPECT_EQ(parsed.key, c.key) << c.caption;
  }
}

}  // namespace
