#include "ui/framework/modal_seam.h"

#include <QDialog>
#include <QFile>
#include <QMessageBox>
#include <QMutex>
#include <QMutexLocker>
#include <atomic>

namespace modal {
namespace {

QMutex g_mutex;
Answerer g_answerer;
std::atomic<int> g_refusing{0};

Answerer CurrentAnswerer() {
  QMutexLocker lock(&g_mutex);
  if (g_answerer) return g_answerer;
  const QByteArray logPath = qgetenv("DIVAROD_MODAL_LOG");
  if (logPath.isEmpty()) return {};
  return [logPath](const ModalRequest& r) {
    QFile f(QString::fromLocal8Bit(logPath));
    if (f.open(QIODevice::Append)) {
      QString line = r.kind + '\t' + r.title + '\t' + r.text;
      line.replace('\n', ' ');
      f.write(line.toUtf8() + '\n');
    }
    return r.defaultResult;
  };
}

}  // namespace

void SetAnswerer(Answerer answerer) {
  QMutexLocker lock(&g_mutex);
  g_answerer = std::move(answerer);
}

bool HasAnswerer() { return static_cast<bool>(CurrentAnswerer()); }

int Exec(QDialog& dialog, ModalRequest request) {
  request.dialog = &dialog;
  return Run(request, [&dialog] { return dialog.exec(); });
}

RefuseWindows::RefuseWindows() { ++g_refusing; }
RefuseWindows::~RefuseWindows() { --g_refusing; }

int Run(const ModalRequest& request, const std::function<int()>& show) {
  if (g_refusing.load() > 0) return request.defaultResult;
  if (Answerer a = CurrentAnswerer()) return a(request);
  return show();
}

void PlatformMessageBox(const QString& text, const QString& caption, int icon) {
  ModalRequest r{"platform-message", caption, text, icon, 1, nullptr};
  Run(r, [&] {
    QMessageBox box(icon == 0x10   ? QMessageBox::Critical
                    : icon == 0x30 ? QMessageBox::Warning
                                   : QMessageBox::Information,
                    caption, text, QMessageBox::Ok);
    return box.exec();
  });
}

}  // namespace modal
