#pragma once
// Every window of the program, each opened over one main window so that its
// texts can be read and its picture taken in every language. A new window is
// one more row of SweepWindows().

#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

#include "tests/support/fake_device_library.h"
#include "ui/framework/modal_seam.h"
#include "ui/main/divarod_dlg.h"

// A main window over the fake device library with a few devices, in a
// program folder of its own holding the shipped Config File.
class SweepStage {
 public:
  SweepStage();
  ~SweepStage();

  CDivarodDlg& Main() { return *main_; }
  // As the settings dialog's OK does it: sent to the main window, then every
  // page's own notice delivered.
  void SwitchLanguage(int index);
  QString LanguageFile(int index) const;

 private:
  QTemporaryDir folder_;
  ScopedFakeDeviceLibrary library_;
  std::unique_ptr<CDivarodDlg> main_;
};

using Visit = std::function<void(QWidget& window)>;

struct SweepWindow {
  QString name;
  // Opens the window over the main window (which has listed its devices),
  // calls visit while it shows, and closes it again.
  std::function<void(CDivarodDlg& main, const Visit& visit)> open;
};

const std::vector<SweepWindow>& SweepWindows();

// Delivers what is queued, and what that posts in turn (the settings dialog
// passes a language change on to its pages).
void ServeEvents();

// Tips are confirmed, every other modal window cancelled: the answerer the
// catalogue restores after each popup.
int SweepAnswer(const modal::ModalRequest& request);

// Runs trigger; the first modal window it opens is shown, visited and
// answered with answer.
void VisitModal(const std::function<void()>& trigger, const Visit& visit, int answer);
