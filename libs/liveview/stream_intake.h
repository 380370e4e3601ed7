#pragma once
// The work behind the connection for one opened stream: every frame the
// device sends is read as a stream frame, counted, refused when it breaks
// the stream's limits, otherwise decoded and scaled, and handed to the
// view's feed. Apart from the socket, so that a stream can be played into it
// frame by frame.

#include <atomic>
#include <memory>

#include "libs/devicelink/stream_messages.h"
#include "libs/devicelink/wire_format.h"
#include "libs/liveview/h264_decoder.h"
#include "libs/liveview/picture_feed.h"

namespace liveview {

class StreamIntake {
 public:
  // Nullptr when libavcodec offers no H.264 decoder.
  static std::unique_ptr<StreamIntake> Create(const devicelink::msg::StreamFormat& format,
                                              std::shared_ptr<PictureFeed> feed);
  // One frame from the device; pictures are scaled to width x height. Once
  // `stop` holds (where given), a decode under way ends at its next unit.
  void Take(const devicelink::wire::Frame& frame, int width, int height, const std::atomic<bool>* stop = nullptr);

 private:
  StreamIntake(std::unique_ptr<H264Decoder> decoder, std::shared_ptr<PictureFeed> feed);
  std::unique_ptr<H264Decoder> decoder_;
  std::shared_ptr<PictureFeed> feed_;
};

}  // namespace liveview
