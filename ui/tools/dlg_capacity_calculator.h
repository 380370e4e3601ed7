#pragma once
// The recording-capacity calculator page. For now an empty page of the main
// window; the calculator itself comes with the tools work.

#include <QWidget>

#include "ui/framework/private_messages.h"

class CDlgCapacityCalculator : public QWidget, public pm::MessageReceiver {
  Q_OBJECT
 public:
  CDlgCapacityCalculator();
  ~CDlgCapacityCalculator() override;

  // Creates the page's window hidden, as a child of parent.
  void Create(QWidget* parent);

  pm::LRESULT OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM lParam) override;

 private:
  void PlaceInParent();
};
