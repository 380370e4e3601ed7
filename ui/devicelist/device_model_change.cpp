// The model name change of one device: the name asked for, written into the
// device's model block, read back and compared before the list shows it.
#include "core/device/device_library.h"
#include "core/language/language.h"
#include "core/util/text_conversion.h"
#include "ui/controls/dlg_tip.h"
#include "ui/devicelist/device_columns.h"
#include "ui/devicelist/dlg_dev_info.h"
#include "ui/devicelist/dlg_modify_model.h"
#include "ui/devicelist/model_name_block.h"

namespace {


// Writes the name and reads the block back; true only when the device now
// holds exactly that name.
bool WriteModelName(int32_t handle, const std::string& name) {
  ModelNameBlock block = ModelNameBlock::WithName(name);
  devicelib::DeviceLibrary& lib = devicelib::Lib();
  if (lib.SdkSetParameter(handle, devicelib::kBlockModel, -1, block.bytes.data(), devicelib::kBlockModelSize, -1) != 1)
    return false;
  block = ModelNameBlock{};
  int returned = 0;
  if (lib.SdkGetParameter(handle, devicelib::kBlockModel, -1, block.bytes.data(), devicelib::kBlockModelSize,
                          &returned, -1, 0, 0) != 1)
    return false;
  return block.CarriesName() && block.Name() == name;
}

}  // namespace

void CDlgDevInfo::ModifyDeviceModel(int row) {
  DeviceRecord* record = LoginForCommand(row);
  if (!record) return;

  CDlgModifyModel dialog(this);
  Utf8ToCString(dialog.mac, record->mac);
  Utf8ToCString(dialog.currentModel, record->model);
  if (dialog.DoModal() != CDlgModifyModel::kResultModified) return;  // the device stays logged in

  std::string name;
  CStringToAnsi(dialog.newModel, name);
  if (!WriteModelName(record->loginHandle, name)) {
    ShowNotice("info.operate_fail");  // the record and the list keep the old name
    return;
  }
  record->model = name;
  SetCellText(row, kColModel, dialog.newModel);
  ShowNotice("info.operate_success");
}
