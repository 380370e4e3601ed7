#pragma once
// A main window with its pages, not shown, over the fake device library: the
// ground of the page tests. Every modal window is answered in the user's
// place (by `answer` when a test sets it, else by DefaultAnswer()) and
// remembered in `shown`.

#include <gtest/gtest.h>

#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "tests/support/fake_device_library.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/divarod_dlg.h"

class PageWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main_ = std::make_unique<CDivarodDlg>();
    MainDialogInstance = main_.get();
    main_->CreatePages();
    modal::SetAnswerer([this](const modal::ModalRequest& request) {
      shown.push_back(request);
      if (answer) return answer(request);
      return DefaultAnswer(request);
    });
  }

  void TearDown() override {
    modal::SetAnswerer({});
    main_.reset();
    MainDialogInstance = nullptr;
  }

  // OK to a notice, Cancel to every other window.
  virtual int DefaultAnswer(const modal::ModalRequest& request) { return request.kind == "tip" ? 1 : 2; }

  // The texts of the windows of `kind` shown so far.
  QStringList Shown(const QString& kind = "tip") const {
    QStringList texts;
    for (const modal::ModalRequest& r : shown)
      if (r.kind == kind) texts << r.text;
    return texts;
  }

  CDivarodDlg& Main() { return *main_; }

  ScopedFakeDeviceLibrary library;
  std::vector<modal::ModalRequest> shown;
  std::function<int(const modal::ModalRequest&)> answer;

 private:
  std::unique_ptr<CDivarodDlg> main_;
};
