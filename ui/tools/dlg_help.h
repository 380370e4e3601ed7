#pragma once
// The help page: one picture (the help bitmap) under a dark band with the
// page logo, the title and a close button. Built, run modally and destroyed
// on each press of the main window's HELP button; the close button, Enter
// and Esc end it, and a press in the band drags it.

#include <QDialog>
#include <QLabel>
#include <QPixmap>
#include <cstdint>

#include "ui/controls/skin_button.h"
#include "ui/framework/title_band.h"

class CDlgHelp : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kWidth = 640;
  static constexpr int kHeight = 578;
  static constexpr int kBand = 50;

  explicit CDlgHelp(QWidget* owner = nullptr);
  ~CDlgHelp() override;

  // Runs the page modally through the modal seam (kind "help").
  int DoModal();
  // Texts, pictures and layout; DoModal runs it first.
  void OnInitDialog();

  // Set by the caller before the run; null pictures are simply not shown.
  uint32_t backgroundColour = 0xFFFFFF;  // 0x00BBGGRR
  uint32_t titleColour = 0x313131;
  QPixmap pageLogo;
  QPixmap helpPicture;

  CxSkinButton closeButton;  // 1, the dialog's OK
  QLabel logoPicture;        // 1148
  QLabel titleText;          // 1248
  QLabel picture;            // 1078

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  titleband::TitleBand titleBand_{this, kBand};
};
