// The simulator's side of a live stream: a StreamSource per streaming
// connection, whose frames the event loop queues on that connection.
#include "tools/devsim/simulator.h"

namespace devsim {
namespace {
// A viewer this far behind loses frames rather than making the device buffer without end.
constexpr std::size_t kMaxStreamBacklog = 4 * 1024 * 1024;
}  // namespace

void Simulator::StartStream(int id, uint32_t sequence) {
  const auto it = connections_.find(id);
  if (it == connections_.end()) return;
  const auto& d = *devices_[it->second->device].device;
  const uint32_t stream = it->second->state.stream;
  StreamSettings settings = StreamSettingsFor(d.profile(), *StreamFormatFor(stream, d.profile()));
  settings.label = {d.profile().section, AddressOf(d), stream};
  streams_[id] = std::make_unique<StreamSource>(std::move(settings), [this, id, sequence](devicelink::msg::StreamFrame f) {
    auto frame = devicelink::wire::Encode(devicelink::wire::Type::kStreamFrame, sequence, 0, devicelink::msg::Encode(f));
    loop_.Post([this, id, frame = std::move(frame)]() mutable {
      const auto c = connections_.find(id);
      if (c == connections_.end() || c->second->out.size() - c->second->outSent > kMaxStreamBacklog) return;
      Queue(id, std::move(frame));
    });
  });
}

}  // namespace devsim
