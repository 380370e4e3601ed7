#pragma once
// The settings dialog. For now an owned popup without pages that remembers
// the language index the main window hands it; its pages come with the
// settings work. It already closes as the finished one does: the close button,
// Esc or the platform's close hide it and enable its owner again.

#include <QDialog>

#include "ui/controls/skin_button.h"
#include "ui/framework/private_messages.h"

class CDlgSetting : public QDialog, public pm::MessageReceiver {
  Q_OBJECT
 public:
  CDlgSetting();
  ~CDlgSetting() override;

  // Creates the dialog's window hidden, owned by owner. The window is owned,
  // not a child: the owner is disabled while it shows, and a child window
  // would be disabled with it and could never be closed.
  void Create(QWidget* owner);
  QWidget* owner() const { return owner_; }

  pm::LRESULT OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM lParam) override;

  // Close button, Esc and the platform's close: nothing is applied; the owner
  // is enabled again and the window hidden.
  void reject() override;

  int lastLanguage = 0;  // the language index last applied

  CxSkinButton closeButton;

 signals:
  // The window was closed; the left menu unpins its settings button.
  void closed();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* owner_ = nullptr;
};
