// Inner costs of the runtime on the headless backend: building and showing a
// dialog from its definition, laying out its label, decoding the pictures,
// and a whole setup sequence.
#include <benchmark/benchmark.h>

#include "dialogs/frmNewBox.h"
#include "dialogs/frmOption.h"
#include "dialogs/frmYesNo.h"
#include "forms/look.h"
#include "forms/pictures.h"
#include "forms/texts.h"
#include "runtime/headless/backend.h"
#include "runtime/runtime.h"
#include "setup/frmAcrobat.h"

namespace {

using rt::headless::HeadlessBackend;

// Load, lay out and show the manual notice, answered with OK each time.
void BM_DialogFromDefinition(benchmark::State& state) {
  HeadlessBackend backend;
  rt::Runtime runtime(backend);
  frmAcrobat& main = runtime.Instance<frmAcrobat>();
  const std::string message = forms::texts::ManualNotice();
  for (auto _ : state) {
    backend.Click("frmYesNo", "Command3");
    main.MyMsgBox(message, rt::True);
  }
}
BENCHMARK(BM_DialogFromDefinition);

void BM_BreakLongestText(benchmark::State& state) {
  rt::headless::FontModel fonts(96);
  for (auto _ : state) {
    auto lines = rt::BreakLines(forms::texts::kT3, 249, forms::kSansSerif975, fonts);
    benchmark::DoNotOptimize(lines);
  }
}
BENCHMARK(BM_BreakLongestText);

void BM_DecodeWelcome(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(rt::DecodePicture(forms::pictures::Welcome()));
}
BENCHMARK(BM_DecodeWelcome)->Unit(benchmark::kMillisecond);

void BM_DecodeProducts(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(rt::DecodePicture(forms::pictures::ProductRange()));
}
BENCHMARK(BM_DecodeProducts)->Unit(benchmark::kMillisecond);

// Everything accepted; the setup's wait runs on the fake clock.
void BM_WholeSequence(benchmark::State& state) {
  for (auto _ : state) {
    HeadlessBackend backend;
    rt::Runtime runtime(backend);
    backend.Click("frmMsgBox", "Command2")
        .Click("frmYesNo", "Command3")
        .Click("frmNewBox", "Command1")
        .Click("frmNewBox", "Command3")
        .Click("frmOption", "Command1");
    const int status = backend.Run([&] { return runtime.Run<frmAcrobat>(); });
    if (status != 0) state.SkipWithError("the sequence failed");
  }
}
BENCHMARK(BM_WholeSequence)->Unit(benchmark::kMillisecond);

}  // namespace
