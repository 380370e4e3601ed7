#pragma once
// The password sub-page: old, new and confirmed password for the checked devices.

#include <QLabel>
#include <QLineEdit>
#include <string>

#include "ui/operations/batch_sub_page.h"

class CDlgModifyPassword : public CBatchSubPage {
  Q_OBJECT
 public:
  enum ControlId {
    kIdOldLabel = 1095,
    kIdNewLabel = 1096,
    kIdConfirmLabel = 1097,
    kIdOld = 1091,
    kIdNew = 1089,
    kIdConfirm = 1090,
    kIdModify = 1103
  };
  static constexpr int kTemplate = 133;
  static constexpr int kMaxPasswordBytes = 64;

  CDlgModifyPassword();

  void LayoutControls() override;
  void SetTexts() override;
  // The live check of one edit: an illegal character empties it with an
  // error naming the character; more than 64 bytes are cut to 64.
  void CheckPasswordInput(QLineEdit& edit);
  void OnModify();

  std::string oldPassword;  // UTF-8, read by modify; WM_BATCH_PASSWORD carries their addresses
  std::string newPassword;
  std::string confirmPassword;

  QLabel oldLabel;
  QLabel newLabel;
  QLabel confirmLabel;
  QLineEdit oldEdit;
  QLineEdit newEdit;
  QLineEdit confirmEdit;
  CxSkinButton modifyButton;

 protected:
  // Hiding the page itself (not its window going away) resets its edits.
  void setVisible(bool visible) override;
};
