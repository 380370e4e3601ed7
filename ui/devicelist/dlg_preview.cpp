#include "ui/devicelist/dlg_preview.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "core/language/language.h"
#include "core/util/text_conversion.h"
#include "libs/liveview/live_view.h"
#include "ui/framework/colours.h"
#include "ui/framework/key_filter.h"
#include "ui/framework/modal_seam.h"

namespace {
constexpr int kDefaultLogoSide = 32;
}  // namespace

CDlgPreview::CDlgPreview(QWidget* parent)
    : QDialog(parent), titleStatic(this), closeButton(this), maxButton(this), logoStatic(this), videoArea(this) {
  liveview::Lib().ZODuruvInitialize("TKConfig.xml");
  setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
  keyfilter::SwallowEnterAndEsc(this);
  titleStatic.setObjectName(QString::number(kIdTitle));
  closeButton.setObjectName(QString::number(kIdClose));
  maxButton.setObjectName(QString::number(kIdMax));
  logoStatic.setObjectName(QString::number(kIdLogo));
  videoArea.setObjectName(QString::number(kIdVideoArea));
  videoArea.hide();  // shown once the view is started

  // Statics are transparent on the dark ground; the title is white.
  QPalette title = titleStatic.palette();
  title.setColor(QPalette::WindowText, colours::FromColorRef(kTextColour));
  titleStatic.setPalette(title);
  for (QWidget* w : std::initializer_list<QWidget*>{&titleStatic, &logoStatic})
    w->setAttribute(Qt::WA_TranslucentBackground);

  connect(&closeButton, &QPushButton::clicked, this, &CDlgPreview::OnCloseButton);
  connect(&maxButton, &QPushButton::clicked, this, &CDlgPreview::ToggleMaximize);
  titleBand_.SetDoubleClickAction([this] { ToggleMaximize(); });
}

CDlgPreview::~CDlgPreview() { liveview::Lib().ZODuruvInvalidate(); }

int CDlgPreview::DoModal() {
  OnInitDialog();
  modal::ModalRequest r;
  r.kind = QStringLiteral("preview");
  r.title = titleStatic.text();
  r.text = deviceIp;
  r.defaultResult = QDialog::Accepted;
  return modal::Exec(*this, r);
}

QString CDlgPreview::StreamAddress() const {
  // Joined piece by piece: a "%" in a user name or password is only text.
  const QString login = loginPassword.isEmpty() ? loginUser : loginUser + QLatin1Char(':') + loginPassword;
  return QStringLiteral("zeve://") + login + QLatin1Char('@') + deviceIp + QLatin1Char(':') +
         QString::number(streamPort) + QStringLiteral("/mode=real&idc=1&ids=") + QString::number(StreamNumber());
}

void CDlgPreview::OnInitDialog() {
  closeButton.SetSkin(205, 204, 206, 205);
  maxButton.SetSkin(214, 216, 215, 214);
  if (!pageLogo.isNull()) logoStatic.setPixmap(pageLogo);
  if (streamKind == kStreamMain) streamCaption = Text(QStringLiteral("tx.Main_stream"));
  else if (streamKind == kStreamSub) streamCaption = Text(QStringLiteral("tx.Sub_stream"));
  titleStatic.setText(Text(QStringLiteral("tx.Preview")) + QStringLiteral(" - ") + deviceIp + QStringLiteral(" - ") +
                      streamCaption);
  LayoutControls();
  update(videoArea.geometry());
  StartView();
}

void CDlgPreview::LayoutControls() {
  QSize logo(kDefaultLogoSide, kDefaultLogoSide);
  if (!pageLogo.isNull()) logo = pageLogo.size();
  setGeometry(windowRect);
  const int r = windowRect.width();
  const int b = windowRect.height();
  videoArea.setGeometry(0, kTitleBand, r, b - kTitleBand);
  closeButton.setGeometry(r - 26, 4, 20, 20);
  maxButton.setGeometry(r - 48, 4, 20, 20);
  logoStatic.setGeometry(10, 25 - logo.height() / 2, logo.width(), logo.height());
  titleStatic.setGeometry(logo.width() + 20, 15, 300, 20);
}

void CDlgPreview::StartView() {
  liveview::LiveViewLibrary& lib = liveview::Lib();
  lib.ZODuruvCreate(&viewHandle, &videoArea, 1, 1, 1);
  lib.ZODuruvViewStop(viewHandle, 0);
  lib.ZODuruvViewClose(viewHandle, 0);
  std::string address;
  const bool converted = CStringToAnsi(StreamAddress(), address);
  if (lib.ZODuruvViewOpen(viewHandle, 0, converted ? address.c_str() : nullptr) == 0)
    lib.ZODuruvViewStart(viewHandle, 0);
  // Shown whether or not the view opened: a refused stream leaves it empty, with no message.
  videoArea.show();
}

void CDlgPreview::OnCloseButton() {
  if (viewHandle != 0) {
    liveview::Lib().ZODuruvViewStop(viewHandle, 0);
    liveview::Lib().ZODuruvViewClose(viewHandle, 0);
  }
  accept();
}

void CDlgPreview::ToggleMaximize() {
  if (isMaximized) {
    setGeometry(restoreRect);
    windowRect = restoreRect;
    isMaximized = false;
  } else {
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;  // no monitor known: nothing changes
    restoreRect = QRect(mapToGlobal(QPoint(0, 0)), size());
    windowRect = screen->availableGeometry();
    setGeometry(windowRect);
    isMaximized = true;
  }
  LayoutControls();
  liveview::Lib().ZODuruvSetSize(viewHandle, videoArea.width(), videoArea.height());
  update(videoArea.geometry());
}

void CDlgPreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), colours::FromColorRef(kBackgroundColour));
}

void CDlgPreview::reject() {}

