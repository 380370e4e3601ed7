#include "ui/tools/dlg_set_dev_info.h"

#include "core/language/language.h"

namespace {

struct BoxRow {
  int id;
  const char* textKey;
  bool alwaysOn;
};

// By column bit, from bit 1.
constexpr BoxRow kBoxes[CDlgSetDevInfo::kBoxCount] = {
    {1120, "ck.IP", true},         {1119, "ck.MAC", true},
    {1121, "ck.Type", false},      {1122, "ck.Version", false},
    {1123, "ck.HTTP_port", false}, {1254, "ck.TCP_port", false},
    {1124, "ck.Onvif_port", false}, {1125, "ck.Model", false},
    {1126, "ck.Cloud", false},     {1132, "ck.Dev_time", false},
    {1133, "ck.Dev_start_time", false}, {1131, "ck.Release_time", false},
    {1134, "ck.Login_state", true},
};

constexpr int kModelBit = 8;
constexpr int kCloudBit = 9;
constexpr int kStartTimeBit = 11;
constexpr int kLoginBit = 13;

// Two columns, row by row in bit order.
constexpr int kLeft = 40;
constexpr int kColumnStep = 190;
constexpr int kTop = 24;
constexpr int kRowStep = 30;
constexpr int kBoxWidth = 180;
constexpr int kBoxHeight = 22;

}  // namespace

CDlgSetDevInfo::CDlgSetDevInfo() {
  for (int bit = 1; bit <= kBoxCount; ++bit) {
    QCheckBox& box = Box(bit);
    box.setParent(this);
    box.setObjectName(QString::number(kBoxes[bit - 1].id));
  }
}

CDlgSetDevInfo::~CDlgSetDevInfo() = default;

void CDlgSetDevInfo::OnInitPage() {
  for (int bit = 1; bit <= kBoxCount; ++bit) {
    const int slot = bit - 1;
    Box(bit).setGeometry(kLeft + (slot % 2) * kColumnStep, kTop + (slot / 2) * kRowStep, kBoxWidth, kBoxHeight);
    Box(bit).setEnabled(!kBoxes[slot].alwaysOn);
  }
  SetTexts();
  CheckFromMask();
}

void CDlgSetDevInfo::SetTexts() {
  for (int bit = 1; bit <= kBoxCount; ++bit) Box(bit).setText(Text(QString::fromLatin1(kBoxes[bit - 1].textKey)));
}

void CDlgSetDevInfo::CheckFromMask() {
  for (int bit = 1; bit <= kBoxCount; ++bit) Box(bit).setChecked((boxMask >> bit) & 1u);
}

void CDlgSetDevInfo::OnShown() {
  if (firstShow) {
    firstShow = false;
    if (!showModel) {
      // Each box takes the place of the one before it in the chain.
      const QPoint modelPlace = Box(kModelBit).pos();
      const QPoint cloudPlace = Box(kCloudBit).pos();
      const QPoint startPlace = Box(kStartTimeBit).pos();
      Box(kModelBit).hide();
      Box(kCloudBit).move(modelPlace);
      Box(kStartTimeBit).move(cloudPlace);
      Box(kLoginBit).move(startPlace);
    }
  }
  CheckFromMask();
}

uint32_t CDlgSetDevInfo::ReadMask() {
  uint32_t mask = 0;
  for (int bit = 1; bit <= kBoxCount; ++bit)
    if (Box(bit).isChecked()) mask |= 1u << bit;
  boxMask = mask;
  return mask;
}
