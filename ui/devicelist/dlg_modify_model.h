#pragma once
// The model name dialog: the device's MAC and current model, disabled, and
// the new name, which starts as the current one and stays below 20 bytes.
// Modify checks the name and ends it with 1; the close button ends it with
// 2. Enter and Esc are swallowed.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>

#include "ui/controls/skin_button.h"
#include "ui/framework/title_band.h"

class CDlgModifyModel : public QDialog {
  Q_OBJECT
 public:
  enum ControlId {
    kIdNewModel = 1019,
    kIdModify = 1103,
    kIdClose = 1113,
    kIdTitle = 1127,
    kIdCurrentModel = 1154,
    kIdMac = 1164,
    kIdMacLabel = 1179,
    kIdModelLabel = 1192,
    kIdNewModelLabel = 1193,
  };
  static constexpr int kResultModified = 1;
  static constexpr int kResultClosed = 2;

  explicit CDlgModifyModel(QWidget* parent = nullptr);
  ~CDlgModifyModel() override;

  // Set by the caller before the run.
  QString mac;
  QString currentModel;
  // Filled by a valid Modify.
  QString newModel;

  // Initialises the window and runs it modally through the modal seam (kind
  // "model"). 1 after a valid Modify, 2 otherwise.
  int DoModal();
  // Fills and places the controls; DoModal runs it first, a renderer calls it itself.
  void OnInitDialog();
  // Refuses an empty name (warning) and one with characters a model name may
  // not hold (error); the window then stays open.
  void OnModify();

  QLabel titleStatic;
  QLabel macLabel;
  QLineEdit macEdit;
  QLabel modelLabel;
  QLineEdit currentModelEdit;
  QLabel newModelLabel;
  QLineEdit newModelEdit;
  CxSkinButton modifyButton;
  CxSkinButton closeButton;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void reject() override;

 private:
  titleband::TitleBand titleBand_{this, 40};  // the dark band drags the window
};
