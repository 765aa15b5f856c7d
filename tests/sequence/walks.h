// The tests' table of the launcher's walks (tests/sequence/walks.txt, its
// columns explained there), built into the programs that walk the sequence
// on the headless backend.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/headless/backend.h"
#include "walks_text.h"

namespace walks {

struct Step {
  std::string walk, step, form, then;
  std::vector<std::string> buttons;  // as captioned, "&" before the access key
  std::string answer, shot, title;
};

[[noreturn]] inline void Bad(const std::string& why) {
  std::fprintf(stderr, "walks.txt: %s\n", why.c_str());
  std::abort();
}

inline std::vector<Step> Read(std::string_view text = kTableText) {
  std::vector<Step> steps;
  std::istringstream lines{std::string(text)};
  for (std::string line; std::getline(lines, line);) {
    std::istringstream in(line);
    Step s;
    std::string buttons;
    if (!(in >> s.walk) || s.walk[0] == '#' || s.walk == "wait-seconds" || s.walk == "label") continue;
    const auto open = line.find('"'), close = line.rfind('"');
    if (!(in >> s.step >> s.form >> s.then >> buttons >> s.answer >> s.shot) || open == close)
      Bad("a step without its eight columns: " + line);
    s.title = line.substr(open + 1, close - open - 1);
    std::istringstream list(buttons);
    for (std::string b; std::getline(list, b, ',');)
      if (b != "-") s.buttons.push_back(b);
    steps.push_back(std::move(s));
  }
  return steps;
}

inline std::vector<Step> Walk(const std::string& name) {
  std::vector<Step> out;
  for (Step& s : Read())
    if (s.walk == name) out.push_back(std::move(s));
  if (out.empty()) Bad("no walk " + name);
  return out;
}

// The step of a walk, by name.
inline Step At(const std::string& walk, const std::string& step) {
  for (Step& s : Walk(walk))
    if (s.step == step) return s;
  Bad("no step " + step + " in the walk " + walk);
}

inline int WaitSeconds() {
  std::istringstream lines{std::string(kTableText)};
  for (std::string line; std::getline(lines, line);) {
    std::istringstream in(line);
    std::string key;
    int n = -1;
    if (in >> key && key == "wait-seconds" && in >> n && n >= 0) return n;
  }
  Bad("no line \"wait-seconds N\"");
}

// A caption as the window shows it, without the "&".
inline std::string Shown(std::string caption) {
  if (const auto amp = caption.find('&'); amp != std::string::npos) caption.erase(amp, 1);
  return caption;
}

// Scripts the step's answer on the headless backend: as the table says, but
// a click on a setup's window (there is none headless) is nothing.
inline void Answer(rt::headless::HeadlessBackend& b, const Step& s) {
  const std::string how = s.answer.substr(0, s.answer.find(':'));
  const std::string what = s.answer.substr(how.size() + (how.size() < s.answer.size()));
  if (s.answer == "-" || s.form == "-") return;
  if (how == "click") {
    b.ClickButton(s.form, what);
    return;
  }
  if (how != "key") Bad("no answer " + s.answer);
  std::istringstream keys(what);
  for (std::string k; std::getline(keys, k, ',');) {
    if (k.size() >= 2 && k[0] == '&') b.Press(s.form, {rt::Key::kChar, static_cast<char>(k[1] | 0x20), true});
    else if (k == "Return") b.Press(s.form, {rt::Key::kEnter});
    else if (k == "Escape") b.Press(s.form, {rt::Key::kEscape});
    else if (k == "Tab") b.Press(s.form, {rt::Key::kTab});
    else if (k == "alt+F4") b.Close(s.form);
    else Bad("no key " + k + " headless");
  }
}

// The walk scripted, whole or from the step `from` on (the end of the
// sequence after a test's own beginning): for each of the program's own
// windows, `look` (if given) once it is up, then the answer.
inline void Script(rt::headless::HeadlessBackend& b, const std::string& walk,
                   const std::function<void(const Step&, rt::headless::HeadlessBackend&)>& look = {},
                   const std::string& from = "") {
  bool started = from.empty();
  for (const Step& s : Walk(walk)) {
    started = started || s.step == from;
    if (!started || s.form == "-") continue;
    if (look) b.Then([s, look](rt::headless::HeadlessBackend& backend) { look(s, backend); });
    Answer(b, s);
  }
  if (!started) Bad("no step " + from + " in the walk " + walk);
}

// The end of the walk from the step `from` on.
inline void Finish(rt::headless::HeadlessBackend& b, const std::string& walk, const std::string& from) {
  Script(b, walk, {}, from);
}

}  // namespace walks
