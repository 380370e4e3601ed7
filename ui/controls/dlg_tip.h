#pragma once
// CDlgTip: the program's own modal message box. No caption bar: a dark band
// with the title and a close button (the band drags the box), a white body
// with the icon and the text, and a light band with OK and, for questions,
// Cancel. Results: 1 for OK or Enter, 2 for Cancel, the close button or Esc.
//
// Usual use, from any thread:
//   if (ShowTipBox(Text("msg.Ensure_reboot"), Text("msg.Msg"), true, true, 0x20) == 1) ...
// or on the UI thread, step by step:
//   CDlgTip tip(this);
//   tip.SetTipInfo(text, title, 0, 1, 0x40);
//   tip.DoModal();

#include <QDialog>
#include <QLabel>
#include <QString>

#include "ui/controls/skin_button.h"

class CDlgTip : public QDialog {
  Q_OBJECT
 public:
  enum Result { kOk = 1, kCancel = 2 };
  enum IconKind { kIconError = 0x10, kIconQuestion = 0x20, kIconWarning = 0x30, kIconInformation = 0x40 };
  static constexpr int kBandHeight = 40;  // the dark top band and the light button band
  static constexpr int kIconSize = 32;

  // The owner is not used: the box is a window of its own above the active one.
  explicit CDlgTip(QWidget* owner = nullptr);
  ~CDlgTip() override;

  // text and title come translated; showCancel 0: one button only; showIcon 1:
  // the icon for iconKind (0x10 error, 0x20 question, 0x30 warning, 0x40
  // information) stands left of the text.
  void SetTipInfo(const QString& text, const QString& title, unsigned char showCancel, unsigned char showIcon,
                  int iconKind);

  // The button captions; by default "tx.OK" and "tx.Cancel" looked up in
  // the calling thread's language when the box initialises.
  void SetButtonCaptions(const QString& ok, const QString& cancel);

  // Fills and lays out the box (texts, icon, skins, placement). DoModal runs
  // it first; windows shown in tests call it themselves.
  void OnInitDialog();

  // Runs the box modally through the modal seam; returns 1 or 2 (or the
  // answer a test gives in the user's place). UI thread only.
  int DoModal();

  CxSkinButton& OkButton() { return ok_; }
  CxSkinButton& CancelButton() { return cancel_; }
  CxSkinButton& CloseButton() { return close_; }
  QLabel& TitleLabel() { return title_; }
  QLabel& TextLabel() { return text_; }
  QLabel& IconLabel() { return icon_; }
  QWidget& Client() { return *client_; }

  QString Text() const { return textValue_; }
  QString Title() const { return titleValue_; }
  bool ShowsCancel() const { return showCancel_ != 0; }
  int IconKindValue() const { return iconKind_; }

 public slots:
  void reject() override;  // Esc, the close button and closing the window: 2

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void LayoutFromTemplate();

  QString textValue_;
  QString titleValue_;
  unsigned char showCancel_ = 0;
  unsigned char showIcon_ = 0;
  int iconKind_ = 0;
  QString okCaption_;
  QString cancelCaption_;
  bool captionsGiven_ = false;
  bool initialised_ = false;

  QWidget* client_;  // the client area inside the 1-pixel border
  CxSkinButton ok_;
  CxSkinButton cancel_;
  CxSkinButton close_;
  QLabel title_;
  QLabel text_;
  QLabel icon_;
};

// Builds, fills and runs one box from any thread: the captions are looked up
// in the calling thread's language, the box runs on the UI thread (a worker
// waits for it). Returns 1 for OK, 2 otherwise.
int ShowTipBox(const QString& text, const QString& title, bool showCancel, bool showIcon, int iconKind);

// The program's notice: the text of `key` in the calling thread's language,
// titled "msg.Msg", OK only, with its icon (information unless given).
// From any thread, as ShowTipBox.
void ShowNotice(const char* key, int iconKind = CDlgTip::kIconInformation);
