#pragma once
// The channel editor: the small popup in which the user describes one group
// of channels for the capacity calculator (count, PAL or NTSC, resolution,
// frame rate, bit rate; the image quality follows the bit rate chosen) and
// hands it over. In add mode every OK appends a row and the popup stays open
// for the next group; in modify mode OK writes the group into every checked
// row and closes. While it shows, the main window is disabled.
//
// The popup is a window of its own, not a child of the page: the main window
// is disabled while it shows, and a child would be disabled with it.

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QString>

#include "ui/controls/skin_button.h"
#include "ui/framework/private_messages.h"
#include "ui/tools/bitrate_tables.h"
#include "ui/tools/capacity_tables.h"
#include "ui/tools/resolution_list.h"

class CDlgCapacityChannelInfo : public QDialog, public pm::MessageReceiver {
  Q_OBJECT
 public:
  enum ControlId {
    kIdResolution = 1054,
    kIdQuality = 1099,
    kIdClose = 1113,
    kIdTitle = 1127,
    kIdOk = 1190,
    kIdFrameRate = 1216,
    kIdBitRate = 1217,
    kIdChannels = 1218,
    kIdChannelsLabel = 1219,
    kIdQualityLabel = 1220,
    kIdResolutionLabel = 1221,
    kIdFrameRateLabel = 1222,
    kIdBitRateLabel = 1223,
    kIdStandardLabel = 1249,
    kIdPal = 1250,
    kIdNtsc = 1251,
  };
  static constexpr int kBandHeight = 40;  // the dark top band, which drags the popup
  static constexpr int kMinChannels = 1;
  static constexpr int kMaxChannels = 1024;

  CDlgCapacityChannelInfo();
  ~CDlgCapacityChannelInfo() override;

  // Creates the popup's window hidden, over the calculator page, and
  // initialises it (placement of the band's controls, skins, texts).
  void Create(QWidget* calculatorPage);

  // --- state -------------------------------------------------------------------
  QString encodeIniPath;             // Encode.ini, read at the first showing
  bool modifyMode = false;           // set by the calculator before it shows the popup
  CapacityChannelRecord channelRecord;  // the record read at the last OK
  bool listsLoaded = false;          // the resolution list is read once, at the first showing
  PalBitrateCurves palBitrateCurves{};
  NtscBitrateCurves ntscBitrateCurves{};
  ResolutionMap resolutionMap;

  // --- list filling ---------------------------------------------------------------
  void LoadResolutionList();
  void RebuildBitrateCurves();
  void RefreshFrameRates();
  void RefreshBitrates();
  // "1" up to the standard's top rate; selects min(wanted, top).
  static void FillFrameRateCombo(QComboBox& list, bool ntsc, int wantedFrameRate);
  // The six rates of the current standard's curves at frameRate, entry k
  // for level k; selects entry level. Empty when frameRate has no point.
  void FillBitrateCombo(QComboBox& list, bool ntsc, int frameRate, int level);
  // The six image-quality names; selects the entry of level (none when none matches).
  static void FillQualityCombo(QComboBox& list, int level);
  void LoadRecordIntoEditor(const CapacityChannelRecord& record);
  void ReadChannelRecord(CapacityChannelRecord& record) const;
  void SetChannelEditorTexts();

  // --- commands ------------------------------------------------------------------------
  // OK: refused while no resolution is listed (no bit rate can be offered).
  void OnOk();
  // The close button, Esc and the platform's close: the main window is
  // enabled again and the popup hidden; nothing is sent.
  void reject() override;

  pm::LRESULT OnPrivateMessage(unsigned message, pm::WPARAM wParam, pm::LPARAM lParam) override;

  // The window the popup disables while it shows.
  QWidget* MainWindow() const;

  // The controls, reachable for tests.
  QWidget& Client() { return *client_; }
  QLabel titleLabel;
  CxSkinButton closeButton;
  QLabel channelsLabel;
  QLineEdit channelsEdit;
  QLabel standardLabel;
  QRadioButton palRadio;
  QRadioButton ntscRadio;
  QLabel qualityLabel;
  QComboBox qualityCombo;
  QLabel resolutionLabel;
  QComboBox resolutionCombo;
  QLabel frameRateLabel;
  QComboBox frameRateCombo;
  QLabel bitRateLabel;
  QComboBox bitRateCombo;
  CxSkinButton okButton;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool OnInitDialog();
  void LayoutFromTemplate();
  void RunShowingSteps();
  void SetModeTexts();
  void OnStandardClicked();
  void UpdateOkEnabled();
  void FitLabelColumn();

  QWidget* client_;
  QPointer<QWidget> calculatorPage_;
  bool created_ = false;
  int labelColumn_ = 0;  // the labels' left edge as the template places them
};
