// Cost of showing a cloud id: encoding a 63-byte id, and writing its bitmap
// (encoding included) the way the device list page does.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "core/qr/qr_bitmap.h"
#include "core/qr/qr_encoder.h"

namespace {

const std::string kCloudId = "DVR7Q3KPLMNXYZ10-2b8f41c9d0e5a7f3b6c1d8e2f4a9b0c5d7e1f3a8b2c4d6";
static_assert(sizeof("DVR7Q3KPLMNXYZ10-2b8f41c9d0e5a7f3b6c1d8e2f4a9b0c5d7e1f3a8b2c4d6") - 1 == 63);

void BM_EncodeCloudId(benchmark::State& state) {
  auto encoder = std::make_unique<QrEncoder>();
  for (auto _ : state) {
    int version = kQrDisplayVersion;
    benchmark::DoNotOptimize(encoder->EncodeData(kCloudId.c_str(), version));
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_EncodeCloudId);

void BM_WriteCloudIdBitmap(benchmark::State& state) {
  QTemporaryDir dir;
  const std::string folder = dir.path().toStdString() + "/Riduzev/";
  QDir().mkpath(QString::fromStdString(folder));
  std::string path;
  for (auto _ : state) benchmark::DoNotOptimize(MakeQrBitmap(kCloudId, path, folder));
}
BENCHMARK(BM_WriteCloudIdBitmap);

}  // namespace

BENCHMARK_MAIN();
