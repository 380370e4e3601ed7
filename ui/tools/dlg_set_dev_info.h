#pragma once
// Settings page "device-list columns": thirteen check boxes, box n for bit n
// of the device list's column mask. IP, MAC and the login state are always
// shown (their boxes are disabled); the number column (bit 0) has no box.
// Without the model column the model box is hidden and three boxes move up
// into the freed places.

#include <QCheckBox>
#include <array>
#include <cstdint>

#include "ui/tools/settings_page.h"

class CDlgSetDevInfo : public CSettingsPage {
  Q_OBJECT
 public:
  static constexpr int kBoxCount = 13;
  static constexpr uint32_t kDefaultMask = 0x23FF;

  CDlgSetDevInfo();
  ~CDlgSetDevInfo() override;

  void SetTexts() override;
  void OnShown() override;

  // The mask the boxes show (bits 1..13 of the checked boxes); kept as boxMask.
  uint32_t ReadMask();
  // The box for column bit (1..13).
  QCheckBox& Box(int bit) { return boxes[static_cast<std::size_t>(bit - 1)]; }

  uint32_t boxMask = kDefaultMask;
  bool showModel = true;
  bool firstShow = true;

  std::array<QCheckBox, kBoxCount> boxes;

 protected:
  void OnInitPage() override;

 private:
  void CheckFromMask();
};
