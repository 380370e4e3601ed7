#pragma once
// The settings dialog. For now an empty owned popup that remembers the
// language index the main window hands it; its pages come with the settings
// work.

#include <QDialog>

#include "ui/framework/private_messages.h"

class CDlgSetting : public QDialog, public pm::MessageReceiver {
  Q_OBJECT
 public:
  CDlgSetting();
  ~CDlgSetting() override;

  // Creates the dialog's window hidden, owned by owner.
  void Create(QWidget* owner);

  pm::LRESULT OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM lParam) override;

  int lastLanguage = 0;  // the language index last applied
};
