#pragma once
// One firmware upgrade: the image read at open, sent in chunks on a
// connection of its own, then the device's writing progress. Every progress
// report reaches the callback on the job's own thread:
//   (size, bytes acknowledged)  while sending, from 0 to size;
//   (-1, 0..100)                while the device writes;
//   (0, -1) finished, or (0, -2) failed; nothing follows either.

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/device/device_library.h"
#include "libs/devicelink/firmware_image.h"
#include "libs/devicelink/session.h"

namespace devicelink {

inline constexpr int kUpgradeStepTimeoutMs = 15000;
// The longest the device may stay silent while it writes before the
// upgrade counts as failed.
inline constexpr int kUpgradeWriteSilenceMs = 120000;

class UpgradeJob : public std::enable_shared_from_this<UpgradeJob> {
 public:
  UpgradeJob(int32_t loginHandle, int32_t upgradeHandle, Endpoint device, Credentials credentials,
             std::shared_ptr<const FirmwareImage> image, devicelib::UpgradeProgressCallback callback, void* userData);
  ~UpgradeJob();  // stops the thread; no callback runs after it

  // Joins the login on a new connection and announces the image, then hands
  // the rest to the job's thread, which keeps the job alive while it runs.
  // False when the device cannot take it. The job must be owned by a shared_ptr.
  bool Start();
  // Stops sending or waiting; no callback runs once it has returned (unless
  // it is called from inside the callback).
  void Stop();

 private:
  void Run();
  void Report(int32_t total, int32_t done);

  const int32_t loginHandle_;
  const int32_t upgradeHandle_;
  const Endpoint device_;
  const Credentials credentials_;
  const std::shared_ptr<const FirmwareImage> image_;  // shared with the other upgrades of the file
  const devicelib::UpgradeProgressCallback callback_;
  void* const userData_;
  std::mutex mutex_;  // guards session_, started_ and thread_ between Start and Stop
  std::shared_ptr<Session> session_;
  std::atomic<bool> stopping_{false};
  bool started_ = false;
  std::thread thread_;
};

}  // namespace devicelink
