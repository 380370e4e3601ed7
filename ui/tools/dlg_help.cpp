#include "ui/tools/dlg_help.h"

#include <QPainter>

#include "core/language/language.h"
#include "ui/framework/colours.h"
#include "ui/framework/modal_seam.h"
#include "ui/framework/skins.h"

CDlgHelp::CDlgHelp(QWidget* owner) : QDialog(owner), closeButton(this), logoPicture(this), titleText(this), picture(this) {
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  closeButton.setObjectName("1");
  logoPicture.setObjectName("1148");
  titleText.setObjectName("1248");
  picture.setObjectName("1078");
  picture.setAlignment(Qt::AlignCenter);  // the picture at its real size, centred
  closeButton.setDefault(true);           // Enter, as the dialog's OK
  connect(&closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

CDlgHelp::~CDlgHelp() = default;

void CDlgHelp::OnInitDialog() {
  titleText.setText(Text(QStringLiteral("tx.Help")));
  QPalette title = titleText.palette();
  title.setColor(QPalette::WindowText, colours::FromColorRef(titleColour));
  titleText.setPalette(title);
  if (!pageLogo.isNull()) logoPicture.setPixmap(pageLogo);
  resize(kWidth, kHeight);

  const int w = pageLogo.isNull() ? 32 : pageLogo.width();
  const int h = pageLogo.isNull() ? 32 : pageLogo.height();
  logoPicture.setGeometry(10, kBand / 2 - h / 2, w, h);
  titleText.setGeometry(w + 20, kBand / 2 - 10, 300, 20);
  closeButton.setGeometry(width() - 24, 6, 20, 20);
  picture.setGeometry(0, kBand, width(), height() - kBand);

  closeButton.SetSkin(skins::kCloseNormal, skins::kClosePressed, skins::kCloseHover, skins::kCloseNormal);
  if (!helpPicture.isNull()) picture.setPixmap(helpPicture);
}

int CDlgHelp::DoModal() {
  OnInitDialog();
  modal::ModalRequest request;
  request.kind = QStringLiteral("help");
  request.title = titleText.text();
  request.defaultResult = QDialog::Accepted;
  return modal::Exec(*this, request);
}

void CDlgHelp::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), colours::FromColorRef(backgroundColour));
}
