// The login prompt as a window: its two shapes, its keys and buttons, and one
// real modal run clicked by a "user".
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "ui/framework/modal_seam.h"
#include "ui/devicelist/dlg_login_local.h"

namespace {

// Runs the prompt through the seam and hands the initialised window to act.
int RunWith(CDlgLoginLocal& prompt, const std::function<void(CDlgLoginLocal&)>& act) {
  modal::SetAnswerer([&](const modal::ModalRequest& r) {
    auto* dialog = qobject_cast<CDlgLoginLocal*>(r.dialog);
    act(*dialog);
    return dialog->result();
  });
  const int result = prompt.DoModal();
  modal::SetAnswerer({});
  return result;
}

TEST(LoginDialog, WithoutTheIpRowButtonsSit40PixelsHigherInAWindow40PixelsShorter) {
  CDlgLoginLocal withIp, withoutIp;
  withIp.showIp = true;
  withIp.ipText = "10.0.0.1";
  QRect okWith, okWithout;
  int heightWith = 0, heightWithout = 0;
  RunWith(withIp, [&](CDlgLoginLocal& d) {
    okWith = d.okButton.geometry();
    heightWith = d.height();
    EXPECT_TRUE(d.ipEdit.isVisibleTo(&d));
    EXPECT_TRUE(d.ipLabel.isVisibleTo(&d));
  });
  RunWith(withoutIp, [&](CDlgLoginLocal& d) {
    okWithout = d.okButton.geometry();
    heightWithout = d.height();
    EXPECT_FALSE(d.ipEdit.isVisibleTo(&d));
    EXPECT_FALSE(d.ipLabel.isVisibleTo(&d));
    EXPECT_EQ(d.cancelButton.y(), okWithout.y());
  });
  EXPECT_EQ(okWithout.y(), okWith.y() - 40);
  EXPECT_EQ(heightWithout, heightWith - 40);
  EXPECT_EQ(withIp.titleStatic.geometry(), QRect(10, 10, 200, 20));
  EXPECT_EQ(withIp.closeButton.geometry(), QRect(withIp.width() - 24, 6, 20, 20));
}

TEST(LoginDialog, OkGivesTheUtf8ResultsAndTheIpIsNotReadBack) {
  CDlgLoginLocal prompt;
  prompt.showIp = true;
  prompt.ipText = "10.0.0.1";
  const int result = RunWith(prompt, [](CDlgLoginLocal& d) {
    d.ipEdit.setText("1.1.1.1");  // disabled for the user; even so it is not read
    d.userEdit.setText("größe");
    d.passwordEdit.setText("pässwörd");
    QTest::keyClick(&d.passwordEdit, Qt::Key_Return);
  });
  EXPECT_EQ(result, 1);
  EXPECT_EQ(prompt.ipResult, "10.0.0.1");
  EXPECT_EQ(prompt.userResult, "größe");
  EXPECT_EQ(prompt.passwordResult, "pässwörd");
  EXPECT_EQ(prompt.passwordEdit.echoMode(), QLineEdit::Password);
}

TEST(LoginDialog, CancelCloseAndEscapeEndWithTwo) {
  for (int way = 0; way < 3; ++way) {
    CDlgLoginLocal prompt;
    const int result = RunWith(prompt, [way](CDlgLoginLocal& d) {
      if (way == 0) d.cancelButton.click();
      if (way == 1) d.closeButton.click();
      if (way == 2) QTest::keyClick(&d.userEdit, Qt::Key_Escape);
    });
    EXPECT_EQ(result, 2) << way;
    EXPECT_TRUE(prompt.userResult.empty()) << way;
  }
}

TEST(LoginDialog, RealModalRunEndsWithTheUsersOk) {
  CDlgLoginLocal prompt;
  prompt.showIp = true;
  prompt.ipText = "192.168.1.64";
  QTimer::singleShot(50, [&] {
    QTest::keyClicks(&prompt.passwordEdit, "secret");
    QTest::mouseClick(&prompt.okButton, Qt::LeftButton);
  });
  EXPECT_EQ(prompt.DoModal(), 1);
  EXPECT_EQ(prompt.userResult, "admin");
  EXPECT_EQ(prompt.passwordResult, "secret");
}

}  // namespace
