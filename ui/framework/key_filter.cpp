#include "ui/framework/key_filter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QVariant>
#include <QWidget>

#include "ui/framework/thread_handover.h"

namespace keyfilter {
namespace {

constexpr const char* kRuleProperty = "divarod.swallowEnterEsc";

// One application-wide filter: key events go to the focus widget first, so
// a filter on the window alone would come too late for a line edit or a
// default button.
class EnterEscFilter : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    // An event a worker posted meets this filter before its receiver.
    handover::Acquire(event);
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
    if (!watched->isWidgetType()) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape) return false;
    return SwallowsEnterAndEsc(static_cast<QWidget*>(watched));
  }
};

void EnsureFilter() {
  static EnterEscFilter* filter = nullptr;
  if (filter || !QCoreApplication::instance()) return;
  filter = new EnterEscFilter();
  filter->setParent(QCoreApplication::instance());
  QCoreApplication::instance()->installEventFilter(filter);
}

}  // namespace

void SwallowEnterAndEsc(QWidget* window) {
  if (!window) return;
  window->setProperty(kRuleProperty, true);
  EnsureFilter();
}

void KeepEnterAndEsc(QWidget* widget) {
  if (!widget) return;
  widget->setProperty(kRuleProperty, false);
  EnsureFilter();
}

bool SwallowsEnterAndEsc(const QWidget* widget) {
  // The nearest widget with a rule decides; the walk stops at the window.
  for (const QWidget* w = widget; w; w = w->parentWidget()) {
    const QVariant rule = w->property(kRuleProperty);
    if (rule.isValid()) return rule.toBool();
    if (w->isWindow()) break;
  }
  return false;
}

}  // namespace keyfilter
