#pragma once
// A main window with its pages, not shown, over the fake device library: the
// batch-operation page as the main window hosts it, with a few devices in its
// tree. Every modal window is answered in the user's place and remembered;
// login prompts are answered with `user`/`password`, or cancelled.

#include <gtest/gtest.h>

#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "core/language/language.h"
#include "tests/support/fake_device_library.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/divarod_dlg.h"
#include "ui/main/dlg_login_local.h"
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

class OperatePageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main_ = std::make_unique<CDivarodDlg>();
    MainDialogInstance = main_.get();
    main_->CreatePages();
    op = &main_->operatePage;
    modal::SetAnswerer([this](const modal::ModalRequest& request) {
      shown.push_back(request);
      if (answer) return answer(request);
      if (auto* prompt = qobject_cast<CDlgLoginLocal*>(request.dialog)) {
        if (cancelLogin) return CDlgLoginLocal::kResultCancel;
        prompt->userEdit.setText(user);
        prompt->passwordEdit.setText(password);
        prompt->okButton.click();
        return prompt->result();
      }
      return request.kind == "tip" ? 1 : 2;
    });
  }

  void TearDown() override {
    modal::SetAnswerer({});
    main_.reset();
    MainDialogInstance = nullptr;
  }

  // What a finished search leaves: the map, the count, then the notices.
  void Search(const std::vector<DeviceRecord>& records) {
    pm::SendPrivateMessage(op, pm::WM_SEARCH_STARTED);
    main_->deviceMap.clear();
    for (const DeviceRecord& r : records) InsertFirstByMac(main_->deviceMap, r);
    main_->searchResultCount = static_cast<int>(records.size());
    pm::SendPrivateMessage(&main_->devInfoPage, pm::WM_SEARCH_FINISHED);
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

  QStringList Shown(const QString& kind = "tip") const {
    QStringList texts;
    for (const modal::ModalRequest& r : shown)
      if (r.kind == kind) texts << r.text;
    return texts;
  }

  static QString Status(const std::string& ip, const char* key) {
    return QString::fromStdString(ip) + "  " + Text(key);
  }

  CDivarodDlg& Main() { return *main_; }

  ScopedFakeDeviceLibrary library;
  CDlgOperate* op = nullptr;
  std::vector<modal::ModalRequest> shown;
  std::function<int(const modal::ModalRequest&)> answer;
  QString user = "admin";
  QString password = "admin123";
  bool cancelLogin = false;

 private:
  std::unique_ptr<CDivarodDlg> main_;
};

}  // namespace operate_test
