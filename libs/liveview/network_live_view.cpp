#include "libs/liveview/network_live_view.h"

#include <QCoreApplication>
#include <QEvent>

#include "core/util/thread_marks.h"

namespace liveview {

namespace {
const QEvent::Type kRefreshEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
LiveViewLibrary* g_installed = nullptr;
}  // namespace

void NetworkLiveView::Courier::PostRefresh() {
  auto* refresh = new QEvent(kRefreshEvent);
  thread_marks::Release(refresh);
  QCoreApplication::postEvent(this, refresh);
}

bool NetworkLiveView::Courier::event(QEvent* e) {
  thread_marks::Acquire(e);
  if (e->type() != kRefreshEvent) return QObject::event(e);
  if (canvas) canvas->update();
  return true;
}

NetworkLiveView& NetworkLibrary() {
  static NetworkLiveView library;
  return library;
}

LiveViewLibrary& Lib() { return g_installed ? *g_installed : NetworkLibrary(); }
void SetLib(LiveViewLibrary* library) { g_installed = library; }

NetworkLiveView::View::~View() {
  receiver.reset();  // shuts the stream's feed before the courier goes
  delete canvas.data();
}

NetworkLiveView::NetworkLiveView() = default;
NetworkLiveView::~NetworkLiveView() = default;

NetworkLiveView::View* NetworkLiveView::Find(int handle) const {
  const auto it = views_.find(handle);
  return it == views_.end() ? nullptr : it->second.get();
}

// The settings file belongs to the maker's library; this one needs no settings.
int NetworkLiveView::ZODuruvInitialize(const char*) { return kOk; }

int NetworkLiveView::ZODuruvCreate(int* handle, QWidget* window, int, int, int) {
  if (!handle || !window) return kBadHandle;
  auto view = std::make_unique<View>();
  view->canvas = new VideoCanvas(window, view->slot);
  view->width = window->width();
  view->height = window->height();
  view->canvas->setGeometry(0, 0, view->width, view->height);
  view->canvas->show();
  const int h = nextHandle_++;
  views_[h] = std::move(view);
  *handle = h;
  return kOk;
}

int NetworkLiveView::ZODuruvViewStop(int handle, int) {
  View* v = Find(handle);
  if (!v) return kBadHandle;
  // The device cannot pause a stream: stopping ends the connection, and the
  // last picture stays on show until the view is closed.
  v->receiver.reset();
  v->started = false;
  return kOk;
}

int NetworkLiveView::ZODuruvViewClose(int handle, int) {
  View* v = Find(handle);
  if (!v) return kBadHandle;
  v->receiver.reset();
  v->started = false;
  if (v->canvas) v->canvas->Blank();
  return kOk;
}

int NetworkLiveView::ZODuruvViewOpen(int handle, int, const char* address) {
  View* v = Find(handle);
  if (!v || !address) return kBadHandle;
  v->receiver.reset();
  v->started = false;
  const auto parsed = ParseStreamAddress(address);
  if (!parsed) return kBadAddress;
  // A decoder of a closed view may still be letting go of its pictures.
  if (!lingering_.WaitUntilNoneLinger(kOpenWaitsForClosedViews)) return kStillClosing;
  int result = kNoAnswer;
  v->receiver = StreamReceiver::Open(*parsed, result, lingering_);
  if (!v->receiver) return result;
  v->slot->Clear();
  v->receiver->SetSize(v->width, v->height);
  return kOk;
}

int NetworkLiveView::ZODuruvViewStart(int handle, int) {
  View* v = Find(handle);
  if (!v) return kBadHandle;
  if (!v->receiver) return kNotOpened;
  if (v->started) return kOk;
  v->started = true;
  Courier* courier = v->courier.get();
  courier->canvas = v->canvas;
  v->receiver->Start(v->slot, [courier] {
    // Runs on the receiving thread: the update itself happens on the courier's.
    courier->PostRefresh();
  });
  return kOk;
}

int NetworkLiveView::ZODuruvSetSize(int handle, int width, int height) {
  View* v = Find(handle);
  if (!v || width < 0 || height < 0) return kBadHandle;
  v->width = width;
  v->height = height;
  if (v->canvas) v->canvas->setGeometry(0, 0, width, height);
  if (v->receiver) v->receiver->SetSize(width, height);
  return kOk;
}

int NetworkLiveView::ZODuruvInvalidate() {
  views_.clear();
  return kOk;
}

ViewStatistics NetworkLiveView::Statistics(int handle) const {
  const View* v = Find(handle);
  return v ? v->slot->Statistics() : ViewStatistics{};
}

devicelink::msg::StreamFormat NetworkLiveView::Format(int handle) const {
  const View* v = Find(handle);
  return v && v->receiver ? v->receiver->format() : devicelink::msg::StreamFormat{0, 0, 0, 0};
}

}  // namespace liveview
