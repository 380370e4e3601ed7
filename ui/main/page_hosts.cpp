// What the main window hands the pages it hosts: the device list page and
// the batch page reach the records, the search and each other through it.
#include "ui/main/divarod_dlg.h"

bool CDivarodDlg::BatchRunBusy() const { return operatePage.IsBatchBusy(); }

pm::MessageReceiver* CDivarodDlg::BatchPage() { return &operatePage; }

pm::MessageReceiver* CDivarodDlg::DeviceListPage() { return &devInfoPage; }

int CDivarodDlg::BatchLogin(bool& askCredentials, DeviceRecord* record, int& error, std::string& user,
                            std::string& password) {
  return devInfoPage.BatchLogin(askCredentials, record, error, user, password);
}

int CDivarodDlg::SetLoginState(std::string mac, int state) { return devInfoPage.SetLoginState(std::move(mac), state); }
