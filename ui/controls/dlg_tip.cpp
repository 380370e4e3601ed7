#include "ui/controls/dlg_tip.h"

#include <QApplication>
#include <QKeyEvent>

#include "core/language/language.h"
#include "ui/controls/bordered_popup.h"
#include "ui/framework/dialog_units.h"
#include "ui/framework/modal_seam.h"
#include "ui/framework/skins.h"
#include "ui/framework/worker_modal.h"

namespace {

// The box's template, in dialog units of "MS Shell Dlg" 9 pt.
constexpr int kTemplateWidth = 195;
constexpr int kTemplateHeight = 105;
const QRect kOkRect(79, 86, 46, 15);
const QRect kCancelRect(133, 86, 46, 15);
const QRect kTextRect(46, 50, 128, 23);
const QRect kIconRect(23, 47, 17, 19);

}  // namespace

CDlgTip::CDlgTip(QWidget* /*owner: not used*/)
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint),
      client_(new bordered_popup::ClientArea(this, kBandHeight, true)),
      ok_(client_),
      cancel_(client_),
      close_(client_),
      title_(client_),
      text_(client_),
      icon_(client_) {
  bordered_popup::FramePopup(*this, dialog_units::TemplateFont(QStringLiteral("MS Shell Dlg"), 9), kBandHeight);
  bordered_popup::StyleTitle(title_);
  QPalette textPalette = text_.palette();
  textPalette.setColor(QPalette::WindowText, Qt::black);
  text_.setPalette(textPalette);
  text_.setAlignment(Qt::AlignLeft | Qt::AlignTop);
  text_.setWordWrap(true);
  text_.setTextFormat(Qt::PlainText);
  title_.setTextFormat(Qt::PlainText);
  icon_.setAlignment(Qt::AlignCenter);

  ok_.textColour = Qt::black;
  cancel_.textColour = Qt::black;
  connect(&ok_, &QPushButton::clicked, this, [this] { done(kOk); });
  connect(&cancel_, &QPushButton::clicked, this, [this] { done(kCancel); });
  connect(&close_, &QPushButton::clicked, this, [this] { done(kCancel); });
  ok_.setFocusPolicy(Qt::TabFocus);
  cancel_.setFocusPolicy(Qt::TabFocus);
  close_.setFocusPolicy(Qt::NoFocus);
}

CDlgTip::~CDlgTip() = default;

void CDlgTip::SetTipInfo(const QString& text, const QString& title, unsigned char showCancel, unsigned char showIcon,
                         int iconKind) {
  textValue_ = text;
  titleValue_ = title;
  showCancel_ = showCancel;
  showIcon_ = showIcon;
  iconKind_ = iconKind;
}

void CDlgTip::SetButtonCaptions(const QString& ok, const QString& cancel) {
  okCaption_ = ok;
  cancelCaption_ = cancel;
  captionsGiven_ = true;
}

void CDlgTip::OnInitDialog() {
  if (initialised_) return;
  initialised_ = true;

  // Texts, looked up now so a language change shows in the next box.
  text_.setText(textValue_);
  title_.setText(titleValue_);
  setWindowTitle(titleValue_);
  ok_.caption = captionsGiven_ ? okCaption_ : ::Text(QStringLiteral("tx.OK"));
  cancel_.caption = captionsGiven_ ? cancelCaption_ : ::Text(QStringLiteral("tx.Cancel"));
  ok_.setText(ok_.caption);
  cancel_.setText(cancel_.caption);

  // Icon, then skins.
  icon_.clear();
  if (showIcon_) {
    const QImage icon = skins::TipIcon(iconKind_, kIconSize);
    if (!icon.isNull()) icon_.setPixmap(QPixmap::fromImage(icon));
  }
  ok_.SetSkin(skins::kButtonNormal, skins::kButtonPressed, skins::kButtonHover, skins::kButtonDisabled);
  cancel_.SetSkin(skins::kButtonNormal, skins::kButtonPressed, skins::kButtonHover, skins::kButtonDisabled);
  close_.SetSkin(skins::kCloseNormal, skins::kClosePressed, skins::kCloseHover, skins::kCloseNormal);
  close_.SetToolTipText(cancel_.caption);

  LayoutFromTemplate();
}

void CDlgTip::LayoutFromTemplate() {
  const dialog_units::BaseUnits base = dialog_units::ForFont(font());
  QSize clientSize(dialog_units::ToPixelsX(kTemplateWidth, base), dialog_units::ToPixelsY(kTemplateHeight, base));
  QRect textRect = dialog_units::ToPixels(kTextRect, base);
  QRect okRect = dialog_units::ToPixels(kOkRect, base);
  QRect cancelRect = dialog_units::ToPixels(kCancelRect, base);

  // A text longer than the template's three lines makes the body taller
  // instead of being cut; the button band moves down with it.
  const int needed = text_.heightForWidth(textRect.width());
  const int extra = needed > textRect.height() ? needed - textRect.height() : 0;
  textRect.setHeight(textRect.height() + extra);
  clientSize.rheight() += extra;
  okRect.translate(0, extra);
  cancelRect.translate(0, extra);

  setFixedSize(clientSize + QSize(2, 2));
  client_->setGeometry(1, 1, clientSize.width(), clientSize.height());
  text_.setGeometry(textRect);
  icon_.setGeometry(dialog_units::ToPixels(kIconRect, base).adjusted(-8, -6, 8, 6));
  ok_.setGeometry(okRect);
  cancel_.setGeometry(cancelRect);

  // Title and close button stand at fixed pixels in the band.
  title_.setGeometry(10, 10, 100, 20);
  close_.setGeometry(clientSize.width() - 24, 6, 20, 20);

  // One button only: OK takes Cancel's place at the right.
  if (!showCancel_) {
    ok_.setGeometry(cancel_.geometry());
    cancel_.hide();
  } else {
    cancel_.show();
  }
  title_.setText(title_.fontMetrics().elidedText(titleValue_, Qt::ElideRight, title_.width()));
  if (title_.text() != titleValue_) title_.setToolTip(titleValue_);
}

int CDlgTip::DoModal() {
  OnInitDialog();
  // The platform makes the active window the box's owner: stand over it.
  if (QWidget* active = QApplication::activeWindow(); active && active != this)
    move(active->frameGeometry().center() - rect().center());
  modal::ModalRequest request;
  request.kind = QStringLiteral("tip");
  request.title = titleValue_;
  request.text = textValue_;
  request.icon = iconKind_;
  request.defaultResult = kOk;
  return modal::Exec(*this, request);
}

void CDlgTip::reject() { done(kCancel); }

void CDlgTip::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      done(kOk);
      return;
    case Qt::Key_Escape:
      done(kCancel);
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

int ShowTipBox(const QString& text, const QString& title, bool showCancel, bool showIcon, int iconKind) {
  // The captions come from the calling thread's language object.
  const QString ok = ::Text(QStringLiteral("tx.OK"));
  const QString cancel = ::Text(QStringLiteral("tx.Cancel"));
  return modal::RunOnUiThread([&] {
    CDlgTip tip;
    tip.SetTipInfo(text, title, showCancel ? 1 : 0, showIcon ? 1 : 0, iconKind);
    tip.SetButtonCaptions(ok, cancel);
    return tip.DoModal();
  });
}

void ShowNotice(const char* key, int iconKind) {
  ShowTipBox(::Text(QString::fromLatin1(key)), ::Text(QStringLiteral("msg.Msg")), false, true, iconKind);
}
