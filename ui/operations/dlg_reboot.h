#pragma once
// The reboot sub-page: one button. Unlike the other sub-pages it keeps the
// dialog's usual Enter and Esc handling.

#include "ui/operations/batch_sub_page.h"

class CDlgReboot : public CBatchSubPage {
  Q_OBJECT
 public:
  enum ControlId { kIdReboot = 1107 };
  static constexpr int kTemplate = 203;

  CDlgReboot();

  void LayoutControls() override;
  void SetTexts() override;
  void OnReboot();

  CxSkinButton rebootButton;
};
