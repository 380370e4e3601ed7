// A paste of 30,000 characters into the boxes whose filter cuts what they
// hold while it changes: the model name (LimitEditAnsi, 19 bytes), a file
// path (LimitEditUtf8, 256) and the network dialog's admin password (what
// the datagram carries). Each is a real line edit wired as its window wires
// it; one iteration is the paste and every change notification it raises.
//   build/release/bin/bench_paste_filters
#include <benchmark/benchmark.h>

#include <QLineEdit>
#include <QString>

#include "tests/support/offscreen_benchmark_main.h"
#include "ui/devicelist/dlg_modify_network_new.h"
#include "ui/filters/edit_filters.h"

namespace {

constexpr int kPasted = 30000;

QString Pasted(int kind) {
  switch (kind) {
    case 0: return QString(kPasted, u'm');                 // ASCII
    case 1: return QString(kPasted, QChar(0x65E5));        // three bytes each
    default: return QString::fromUtf8("\xF0\x9F\x93\xB7").repeated(kPasted / 2);  // surrogate pairs
  }
}

const char* KindName(int kind) { return kind == 0 ? "ascii" : kind == 1 ? "cjk" : "pairs"; }

template <typename Filter>
void PasteInto(benchmark::State& state, Filter filter) {
  QLineEdit edit;
  QObject::connect(&edit, &QLineEdit::textChanged, &edit, [&edit, filter] { filter(&edit); });
  const QString paste = Pasted(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    edit.clear();
    edit.setText(paste);
    benchmark::DoNotOptimize(edit.text().size());
  }
  state.SetLabel(KindName(static_cast<int>(state.range(0))));
}

void BM_PasteIntoModelName(benchmark::State& state) { PasteInto(state, LimitEditAnsi); }
BENCHMARK(BM_PasteIntoModelName)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_PasteIntoFilePath(benchmark::State& state) { PasteInto(state, LimitEditUtf8); }
BENCHMARK(BM_PasteIntoFilePath)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_PasteIntoAdminPassword(benchmark::State& state) {
  CDlgModifyNetworkNew dialog;
  const QString paste = Pasted(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    dialog.adminPasswordEdit.clear();
    dialog.adminPasswordEdit.setText(paste);
    benchmark::DoNotOptimize(dialog.adminPasswordEdit.text().size());
  }
  state.SetLabel(KindName(static_cast<int>(state.range(0))));
}
BENCHMARK(BM_PasteIntoAdminPassword)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return RunOffscreenBenchmarks(argc, argv); }
