#pragma once
// One page of the settings dialog: a white child window laid over the
// dialog's page rectangle. A page reads its texts at creation and again on
// each language change, and resets its controls from its stored values each
// time it is shown, so changes that were not applied are dropped.

#include <QWidget>

#include "ui/framework/private_messages.h"

class CSettingsPage : public QWidget, public pm::MessageReceiver {
  Q_OBJECT
 public:
  explicit CSettingsPage(QWidget* parent = nullptr);
  ~CSettingsPage() override;

  // Creates the page as a child of dialog, hidden, on pageRect.
  void Create(QWidget* dialog, const QRect& pageRect);

  // Re-reads every text of the page.
  virtual void SetTexts() = 0;
  // The page has just been shown (by the dialog or by page switching).
  virtual void OnShown() = 0;

  // WM_LANGUAGE_CHANGED: the texts are read again.
  pm::LRESULT OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM lParam) override;

 protected:
  virtual void OnInitPage() = 0;
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};
