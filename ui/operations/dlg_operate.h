#pragma once
// The batch-operation page. For now it carries only the state that the main
// window and the device list page read (its busy flags); its tree, sub-pages
// and runs come with the batch-operation work.

#include <QWidget>
#include <cstdint>

#include "ui/framework/private_messages.h"

class CDlgOperate : public QWidget, public pm::MessageReceiver {
  Q_OBJECT
 public:
  CDlgOperate();
  ~CDlgOperate() override;

  // Creates the page's window hidden, as a child of parent, and initialises it.
  void Create(QWidget* parent);

  // True while any kind of batch run goes on.
  bool IsBatchBusy() const;

  pm::LRESULT OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM lParam) override;

  // One flag per kind of run; 1 while that run goes on.
  uint8_t rebootBusy = 0;
  uint8_t defaultsBusy = 0;
  uint8_t passwordBusy = 0;
  uint8_t portsBusy = 0;
  uint8_t upgradeBusy = 0;
  uint8_t importBusy = 0;

 private:
  void PlaceInParent();
};
