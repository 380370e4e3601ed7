#pragma once
// The configuration import run: its request and its worker. The import is
// synchronous per device: the worker waits for the library's call and the
// device's result is written at once.

#include <atomic>
#include <cstdint>
#include <string>

#include "ui/operations/threaded_run.h"

class ConfigImportRun : public ThreadedRun {
 public:
  using ThreadedRun::ThreadedRun;

  // WM_BATCH_CONFIG_IMPORT with the configuration sub-page's file (the
  // sub-page's own path when null): 1 when the worker was started, else -1.
  pm::LRESULT Request(const std::string* path);

  std::atomic<uint8_t> importBusy{0};
  std::string configPath;  // the file of the current run

 private:
  void ConfigImportWorker();
};
