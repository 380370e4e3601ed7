// Painting cost of the colour list at the device list's largest size (1024
// devices, 14 columns) and of a skin button; run by hand:
//   QT_QPA_PLATFORM=offscreen build/release/bin/controls_benchmark
#include <benchmark/benchmark.h>

#include "tests/support/offscreen_benchmark_main.h"
#include "ui/controls/color_list.h"
#include "ui/controls/skin_button.h"
#include "ui/framework/skins.h"

namespace {

void BM_PaintFullDeviceList(benchmark::State& state) {
  CMyColorListCtrlEx list;
  list.resize(1010, 560);
  list.setColumnCount(14);
  for (int c = 0; c < 14; ++c) list.header()->resizeSection(c, 90);
  for (int r = 0; r < 1024; ++r) {
    auto* item = new QTreeWidgetItem(&list);
    for (int c = 0; c < 14; ++c) item->setText(c, QString("cell %1.%2").arg(r).arg(c));
  }
  list.show();
  QCoreApplication::processEvents();
  for (auto _ : state) benchmark::DoNotOptimize(list.viewport()->grab());
}
BENCHMARK(BM_PaintFullDeviceList)->Unit(benchmark::kMillisecond);

void BM_PaintStretchedSkinButton(benchmark::State& state) {
  CxSkinButton button;
  button.SetSkin(skins::kButtonNormal, skins::kButtonPressed, skins::kButtonHover, skins::kButtonDisabled);
  button.caption = "Search";
  button.resize(140, 28);
  for (auto _ : state) benchmark::DoNotOptimize(button.grab());
}
BENCHMARK(BM_PaintStretchedSkinButton)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return RunOffscreenBenchmarks(argc, argv); }
