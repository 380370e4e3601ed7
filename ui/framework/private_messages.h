#pragma once
// The pages talk through numbered private messages. A send runs the
// receiver's handler and returns its result (from a worker thread the caller
// blocks until the UI thread has run it); a post is queued behind what the UI
// thread is doing and delivered in order.

#include <QObject>
#include <QtGlobal>

namespace pm {

using WPARAM = quintptr;
using LPARAM = qintptr;
using LRESULT = qintptr;

inline constexpr unsigned WM_USER = 0x400;
inline constexpr unsigned WM_UPGRADE_PROGRESS = WM_USER + 0x01;
inline constexpr unsigned WM_LANGUAGE_CHANGED = WM_USER + 0x03;
inline constexpr unsigned WM_DEVINFO_MASK_CHANGED = WM_USER + 0x04;
inline constexpr unsigned WM_REQUEST_SEARCH = WM_USER + 0x05;  // at the main window
inline constexpr unsigned WM_SEARCH_STARTED = WM_USER + 0x05;  // at a page
inline constexpr unsigned WM_SEARCH_FINISHED = WM_USER + 0x06;
inline constexpr unsigned WM_BATCH_PASSWORD = WM_USER + 0x07;
inline constexpr unsigned WM_BATCH_PORTS = WM_USER + 0x08;
inline constexpr unsigned WM_BATCH_UPGRADE = WM_USER + 0x09;
inline constexpr unsigned WM_BATCH_CONFIG_IMPORT = WM_USER + 0x0A;
inline constexpr unsigned WM_BATCH_DEFAULTS = WM_USER + 0x0B;
inline constexpr unsigned WM_BATCH_REBOOT = WM_USER + 0x0C;
inline constexpr unsigned WM_DEVICE_ITEM_UPDATE = WM_USER + 0x0D;
inline constexpr unsigned WM_PARENT_RESIZED = WM_USER + 0x0E;
inline constexpr unsigned WM_SEARCH_SETTINGS_CHANGED = WM_USER + 0x10;
inline constexpr unsigned WM_CAPACITY_ADD_CHANNEL = WM_USER + 0x11;
inline constexpr unsigned WM_CAPACITY_MODIFY_CHANNEL = WM_USER + 0x12;
inline constexpr unsigned WM_DEVICE_PORTS_CHANGED = WM_USER + 0x13;

// A window that receives private messages: one handler dispatching by value.
// The receiver lives on the UI thread.
class MessageReceiver {
 public:
  MessageReceiver();
  virtual ~MessageReceiver();
  MessageReceiver(const MessageReceiver&) = delete;
  MessageReceiver& operator=(const MessageReceiver&) = delete;

  virtual LRESULT OnPrivateMessage(unsigned message, WPARAM wParam, LPARAM lParam) = 0;

  QObject* Mailbox() const { return mailbox_; }

 private:
  QObject* mailbox_;
};

LRESULT SendPrivateMessage(MessageReceiver* target, unsigned message, WPARAM wParam = 0, LPARAM lParam = 0);
void PostPrivateMessage(MessageReceiver* target, unsigned message, WPARAM wParam = 0, LPARAM lParam = 0);

}  // namespace pm
