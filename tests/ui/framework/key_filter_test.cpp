#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "ui/framework/key_filter.h"

namespace {

// A dialog with an edit and a default button: without the filter, Enter
// presses the default button and Esc rejects.
struct Window {
  QDialog dialog;
  QLineEdit* edit = new QLineEdit(&dialog);
  QPushButton* ok = new QPushButton("OK", &dialog);
  QWidget* subPage = new QWidget(&dialog);
  QLineEdit* subEdit = new QLineEdit(subPage);
  Window() {
    ok->setDefault(true);
    ok->move(0, 40);
    subPage->move(0, 80);
    dialog.show();
  }
};

TEST(KeyFilter, SwallowingWindowNeverClosesOnEnterOrEsc) {
  Window w;
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.dialog));
  keyfilter::SwallowEnterAndEsc(&w.dialog);
  QSignalSpy clicked(w.ok, &QPushButton::clicked);
  QSignalSpy returns(w.edit, &QLineEdit::returnPressed);
  w.edit->setFocus();
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
    QTest::keyClick(w.edit, key);
    QTest::keyClick(&w.dialog, key);
  }
  EXPECT_TRUE(w.dialog.isVisible());
  EXPECT_EQ(clicked.count(), 0);
  EXPECT_EQ(returns.count(), 0);
  // Other keys pass.
  QTest::keyClicks(w.edit, "10.0.0.1");
  EXPECT_EQ(w.edit->text(), "10.0.0.1");
}

TEST(KeyFilter, KeyUpIsSwallowedToo) {
  Window w;
  keyfilter::SwallowEnterAndEsc(&w.dialog);
  for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QKeyEvent e(type, Qt::Key_Escape, Qt::NoModifier);
    QWidget* target = w.edit;
    bool delivered = false;
    // The filter runs before the widget: a swallowed event never reaches it.
    struct Probe : QObject {
      bool* hit;
      bool eventFilter(QObject*, QEvent* ev) override {
        if (ev->type() == QEvent::KeyPress || ev->type() == QEvent::KeyRelease) *hit = true;
        return false;
      }
    } probe;
    probe.hit = &delivered;
    target->installEventFilter(&probe);
    QCoreApplication::sendEvent(target, &e);
    target->removeEventFilter(&probe);
    EXPECT_FALSE(delivered) << type;
  }
}

TEST(KeyFilter, ChildCanKeepTheKeysAndPopupsAreNotCovered) {
  Window w;
  keyfilter::SwallowEnterAndEsc(&w.dialog);
  keyfilter::KeepEnterAndEsc(w.subPage);
  EXPECT_TRUE(keyfilter::SwallowsEnterAndEsc(w.edit));
  EXPECT_FALSE(keyfilter::SwallowsEnterAndEsc(w.subEdit));
  QSignalSpy subReturns(w.subEdit, &QLineEdit::returnPressed);
  QTest::keyClick(w.subEdit, Qt::Key_Return);
  EXPECT_EQ(subReturns.count(), 1);

  QDialog popup(&w.dialog);  // a window of its own, owned by the swallowing one
  QLineEdit popupEdit(&popup);
  EXPECT_FALSE(keyfilter::SwallowsEnterAndEsc(&popupEdit));
  popup.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&popup));
  QTest::keyClick(&popup, Qt::Key_Escape);
  EXPECT_FALSE(popup.isVisible()) << "the popup keeps Esc = Cancel";
}

}  // namespace
