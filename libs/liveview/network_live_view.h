#pragma once
// The live-view library over the device link: every view is a canvas in the
// window it was given and, once opened, a StreamReceiver. Called on the
// user-interface thread only; receiving and decoding run on threads of the
// views' own.

#include <chrono>
#include <map>
#include <memory>
#include <string>

#include <QObject>
#include <QPointer>

#include "libs/liveview/live_view.h"
#include "libs/liveview/stream_receiver.h"
#include "libs/liveview/video_canvas.h"

namespace liveview {

// How long ViewOpen waits for the decodes of closed views to end: one of
// them ends at its next unit, well within this.
inline constexpr std::chrono::milliseconds kOpenWaitsForClosedViews{2000};

class NetworkLiveView : public LiveViewLibrary {
 public:
  NetworkLiveView();
  ~NetworkLiveView() override;

  int ZODuruvInitialize(const char* configFile) override;
  int ZODuruvCreate(int* handle, QWidget* window, int a, int b, int c) override;
  int ZODuruvViewStop(int handle, int channel) override;
  int ZODuruvViewClose(int handle, int channel) override;
  int ZODuruvViewOpen(int handle, int channel, const char* address) override;
  int ZODuruvViewStart(int handle, int channel) override;
  int ZODuruvSetSize(int handle, int width, int height) override;
  int ZODuruvInvalidate() override;

  // What a view received and showed since it was opened (measurements, tests).
  ViewStatistics Statistics(int handle) const;
  // The format of the view's opened stream; a zero one when none is open.
  devicelink::msg::StreamFormat Format(int handle) const;
  // Receiving threads of stopped streams still finishing a picture.
  std::size_t LingeringThreadCount() { return lingering_.Count(); }

 private:
  // Lives on the user-interface thread; the receiving thread posts its
  // "picture ready" to it, and only it touches the canvas, which the window
  // may have deleted. Deleted after the stream's feed is shut, so no post
  // outlives it.
  // The post is an event of ours, marked for the thread sanitizer, which
  // cannot see the order Qt's own queue gives.
  struct Courier : QObject {
    QPointer<VideoCanvas> canvas;
    // Called on the receiving thread.
    void PostRefresh();
    bool event(QEvent* e) override;
  };
  struct View {
    QPointer<VideoCanvas> canvas;
    std::shared_ptr<FrameSlot> slot = std::make_shared<FrameSlot>();
    std::unique_ptr<Courier> courier = std::make_unique<Courier>();
    std::unique_ptr<StreamReceiver> receiver;  // an opened stream
    bool started = false;
    int width = 0;
    int height = 0;
    ~View();
  };
  View* Find(int handle) const;

  // Before the views: their threads may end up here, and it goes after them.
  LingeringThreads lingering_;
  std::map<int, std::unique_ptr<View>> views_;
  int nextHandle_ = 1;
};

// The network library behind Lib() when no fake is installed.
NetworkLiveView& NetworkLibrary();

}  // namespace liveview
