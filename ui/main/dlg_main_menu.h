#pragma once
// The left menu: the narrow column of bitmap buttons on the main window's
// left edge. Three buttons switch the page in view (device list, batch
// operations, capacity calculator), the fourth opens the settings dialog.
// The button of the page in view is pinned to its pressed picture.

#include <QWidget>

#include "ui/framework/private_messages.h"

class CDlgMainMenu : public QWidget, public pm::MessageReceiver {
  Q_OBJECT
 public:
  // Page indices kept in the main window's current page index.
  static constexpr int kPageDevInfo = 0;
  static constexpr int kPageOperate = 3;
  static constexpr int kPageCapacity = 14;

  explicit CDlgMainMenu(QWidget* parent = nullptr);
  ~CDlgMainMenu() override;

  // Makes the menu a hidden child of parent and initialises it.
  bool Create(QWidget* parent);

  pm::LRESULT OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM lParam) override;

 private:
  bool created_ = false;
};
