// The network change of one device of the list, by LAN broadcast datagram.
#include "core/language/language.h"
#include "core/lanconfig/lan_config_channel.h"
#include "ui/devicelist/dlg_dev_info.h"
#include "ui/devicelist/dlg_modify_network_new.h"
#include "ui/controls/dlg_tip.h"

void CDlgDevInfo::ModifyDeviceNetwork(int row) {
  DeviceRecord* record = RecordAt(row);
  if (!record) {
    ShowNotice("info.operate_fail", CDlgTip::kIconWarning);
    return;
  }
  CDlgModifyNetworkNew dialog(this);
  DeviceRecord& request = dialog.request;
  request.ip = record->ip;
  request.mac = record->mac;
  request.gateway = record->gateway;
  request.netmask = record->netmask;
  request.dns1 = record->dns1;
  request.dns2 = record->dns2;
  request.dhcpMode = record->dhcpMode;
  request.capabilities = record->capabilities & 0xFF;
  if (dialog.DoModal() != CDlgModifyNetworkNew::kResultModified) return;

  lanconfig::LanConfigChannel channel(lanEndpoints);
  const bool authenticated = dialog.useAuthenticatedDatagram != 0;
  const int result = authenticated ? channel.ModifyNetworkByBroadcastV3(request)
                                   : channel.ModifyNetworkByBroadcastV2(request);
  if (result == 1) {
    record->ip = request.ip;
    record->gateway = request.gateway;
    record->netmask = request.netmask;
    if (authenticated) {
      record->dns1 = request.dns1;
      record->dns2 = request.dns2;
      record->dhcpMode = request.dhcpMode;
    }
    RetireDeviceLogin(record, row);
    ShowNotice("info.operate_success", CDlgTip::kIconWarning);
  } else if (result == -3) {
    ShowNotice("info.operate_timeout", CDlgTip::kIconWarning);
  } else {
    ShowNotice("info.operate_fail", CDlgTip::kIconWarning);
  }
}
