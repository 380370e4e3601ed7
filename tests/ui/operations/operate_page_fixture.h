#pragma once
// The batch-operation page as the main window hosts it (see PageWindowTest),
// with a few devices in its tree. Login prompts are answered with
// `user`/`password`, or cancelled.

#include <gtest/gtest.h>

#include <QStringList>
#include <vector>

#include "core/language/language.h"
#include "tests/ui/support/page_window_fixture.h"
#include "ui/devicelist/device_columns.h"
#include "ui/devicelist/dlg_login_local.h"
#include "ui/operations/dlg_operate.h"

namespace operate_test {

inline DeviceRecord MakeDevice(const std::string& mac, const std::string& ip) {
  DeviceRecord r;
  r.valid = true;
  r.mac = mac;
  r.ip = ip;
  r.netmask = "255.255.255.0";
  r.httpPort = 80;
  r.tcpPort = 34567;
  r.onvifPort = 80;
  r.onvifCapable = 1;
  r.type = "IPC";
  return r;
}

// Three devices; map order (by MAC) differs from IP order on purpose.
inline std::vector<DeviceRecord> ThreeDevices() {
  return {MakeDevice("00:00:00:00:00:03", "192.168.1.10"), MakeDevice("00:00:00:00:00:01", "192.168.1.30"),
          MakeDevice("00:00:00:00:00:02", "10.0.0.20")};
}

class OperatePageTest : public PageWindowTest {
 protected:
  void SetUp() override {
    PageWindowTest::SetUp();
    op = &Main().operatePage;
  }

  int DefaultAnswer(const modal::ModalRequest& request) override {
    if (auto* prompt = qobject_cast<CDlgLoginLocal*>(request.dialog)) {
      if (cancelLogin) return CDlgLoginLocal::kResultCancel;
      prompt->userEdit.setText(user);
      prompt->passwordEdit.setText(password);
      prompt->okButton.click();
      return prompt->result();
    }
    return PageWindowTest::DefaultAnswer(request);
  }

  // What a finished search leaves: the map, the count, then the notices.
  void Search(const std::vector<DeviceRecord>& records) {
    pm::SendPrivateMessage(op, pm::WM_SEARCH_STARTED);
    Main().deviceMap.clear();
    for (const DeviceRecord& r : records) InsertFirstByMac(Main().deviceMap, r);
    Main().searchResultCount = static_cast<int>(records.size());
    pm::SendPrivateMessage(&Main().devInfoPage, pm::WM_SEARCH_FINISHED);
    pm::SendPrivateMessage(op, pm::WM_SEARCH_FINISHED);
  }

  QStringList ItemTexts() const {
    QStringList texts;
    for (int i = 0; i < op->DeviceItemCount(); ++i) texts << op->DeviceItem(i)->text(0);
    return texts;
  }

  QTreeWidgetItem* ItemOf(const std::string& ip) const {
    for (int i = 0; i < op->DeviceItemCount(); ++i)
      if (CDlgOperate::RecordOfItem(op->DeviceItem(i))->ip == ip) return op->DeviceItem(i);
    return nullptr;
  }

  DeviceRecord& Record(const std::string& ip) { return *CDlgOperate::RecordOfItem(ItemOf(ip)); }

  void Check(std::initializer_list<const char*> ips) {
    for (const char* ip : ips) ItemOf(ip)->setCheckState(0, Qt::Checked);
  }

  static QString Status(const std::string& ip, const char* key) {
    return QString::fromStdString(ip) + "  " + Text(key);
  }

  CDlgOperate* op = nullptr;
  QString user = "admin";
  QString password = "admin123";
  bool cancelLogin = false;
};

// The ground of the run tests: a search found ThreeDevices(), each logs in
// with a handle of its own, and the library's call log starts empty.
class ThreeDeviceRunTest : public OperatePageTest {
 protected:
  void SetUp() override {
    OperatePageTest::SetUp();
    Search(ThreeDevices());
    library.fake.loginHandles = {{"192.168.1.10", 11}, {"192.168.1.30", 13}, {"10.0.0.20", 12}};
    library.fake.ClearCalls();
  }

  // The device list's login-state cell of a device.
  QString LoginCell(const std::string& ip) {
    CDlgDevInfo& list = Main().devInfoPage;
    for (int row = 0; row < list.RowCount(); ++row)
      if (list.RecordAt(row)->ip == ip) return list.CellText(row, kColLoginState);
    return {};
  }

  // A device the program logged in before the run.
  void LogIn(const std::string& ip, int32_t handle) {
    Record(ip).loggedIn = 1;
    Record(ip).loginHandle = handle;
    Record(ip).userName = "admin";
  }

  // The first argument (the login handle) of every call of `operation`.
  std::vector<std::string> FirstArgs(const std::string& operation) const {
    std::vector<std::string> args;
    for (const FakeCall& c : library.fake.CallsOf(operation)) args.push_back(c.Arg(0));
    return args;
  }
};

}  // namespace operate_test
