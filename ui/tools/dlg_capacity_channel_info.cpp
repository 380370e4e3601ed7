// The channel editor: template layout, the showing steps, the lists and OK.
#include "ui/tools/dlg_capacity_channel_info.h"

#include <QKeyEvent>
#include <QShowEvent>
#include <QWindow>
#include <algorithm>

#include "core/language/language.h"
#include "core/util/number_text.h"
#include "core/util/text_conversion.h"
#include "ui/controls/bordered_popup.h"
#include "ui/filters/edit_filters.h"
#include "ui/framework/dialog_units.h"
#include "ui/framework/skins.h"
#include "ui/tools/dlg_capacity_calculator.h"

namespace {

// Template 227: 242 x 208 dialog units of "MS Shell Dlg" 8; rectangles are
// x, y, width, height in dialog units.
constexpr int kTemplateWidth = 242;
constexpr int kTemplateHeight = 208;
const QRect kChannelsLabelRect(44, 40, 48, 8);
const QRect kChannelsRect(102, 37, 92, 14);
const QRect kStandardLabelRect(44, 62, 48, 8);
const QRect kPalRect(103, 60, 28, 10);
const QRect kNtscRect(153, 60, 33, 10);
const QRect kQualityLabelRect(44, 84, 48, 8);
const QRect kQualityRect(102, 81, 92, 30);
const QRect kResolutionLabelRect(44, 106, 48, 8);
const QRect kResolutionRect(102, 103, 92, 30);
const QRect kFrameRateLabelRect(44, 128, 48, 8);
const QRect kFrameRateRect(102, 125, 92, 30);
const QRect kBitRateLabelRect(44, 150, 48, 8);
const QRect kBitRateRect(102, 148, 92, 30);
const QRect kOkRect(89, 175, 63, 18);

// The selected entry's item data as a number, or fallback.
int SelectedData(const QComboBox& list, int fallback) {
  const int index = list.currentIndex();
  if (index < 0) return fallback;
  bool ok = false;
  const int value = list.itemData(index).toInt(&ok);
  return ok ? value : fallback;
}

}  // namespace

CDlgCapacityChannelInfo::CDlgCapacityChannelInfo()
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint), client_(new bordered_popup::ClientArea(this, kBandHeight, false)) {
  hide();
  bordered_popup::FramePopup(*this, dialog_units::TemplateFont(QStringLiteral("MS Shell Dlg"), 8), kBandHeight);

  const std::pair<QWidget*, int> ids[] = {
      {&titleLabel, kIdTitle},           {&closeButton, kIdClose},
      {&channelsLabel, kIdChannelsLabel}, {&channelsEdit, kIdChannels},
      {&standardLabel, kIdStandardLabel}, {&palRadio, kIdPal},
      {&ntscRadio, kIdNtsc},             {&qualityLabel, kIdQualityLabel},
      {&qualityCombo, kIdQuality},       {&resolutionLabel, kIdResolutionLabel},
      {&resolutionCombo, kIdResolution}, {&frameRateLabel, kIdFrameRateLabel},
      {&frameRateCombo, kIdFrameRate},   {&bitRateLabel, kIdBitRateLabel},
      {&bitRateCombo, kIdBitRate},       {&okButton, kIdOk}};
  for (const auto& [widget, id] : ids) {
    widget->setParent(client_);
    widget->setObjectName(QString::number(id));
  }

  bordered_popup::StyleTitle(titleLabel);
  for (QLabel* label : {&titleLabel, &channelsLabel, &standardLabel, &qualityLabel, &resolutionLabel, &frameRateLabel,
                        &bitRateLabel}) {
    label->setTextFormat(Qt::PlainText);
    if (label == &titleLabel) continue;
    QPalette black = label->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(black);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  }
  palRadio.setText(QStringLiteral("PAL"));
  ntscRadio.setText(QStringLiteral("NTSC"));
  qualityCombo.setEnabled(false);  // follows the bit rate chosen
  channelsEdit.setTextMargins(2, 0, 2, 0);
  okButton.textColour = Qt::black;
  okButton.setAutoDefault(false);
  closeButton.setAutoDefault(false);
  closeButton.setFocusPolicy(Qt::NoFocus);

  connect(&okButton, &QPushButton::clicked, this, &CDlgCapacityChannelInfo::OnOk);
  connect(&closeButton, &QPushButton::clicked, this, &CDlgCapacityChannelInfo::reject);
  connect(&palRadio, &QRadioButton::clicked, this, &CDlgCapacityChannelInfo::OnStandardClicked);
  connect(&ntscRadio, &QRadioButton::clicked, this, &CDlgCapacityChannelInfo::OnStandardClicked);
  connect(&resolutionCombo, &QComboBox::activated, this, [this] {
    RebuildBitrateCurves();
    RefreshBitrates();
  });
  connect(&frameRateCombo, &QComboBox::activated, this, [this] { RefreshBitrates(); });
  connect(&bitRateCombo, &QComboBox::activated, this, [this](int index) {
    if (index >= 0 && index < qualityCombo.count()) qualityCombo.setCurrentIndex(index);
  });
  connect(&channelsEdit, &QLineEdit::textChanged, this,
          [this] { ClampEditNumber(&channelsEdit, kMinChannels, kMaxChannels); });
}

CDlgCapacityChannelInfo::~CDlgCapacityChannelInfo() = default;

void CDlgCapacityChannelInfo::Create(QWidget* calculatorPage) {
  calculatorPage_ = calculatorPage;
  if (created_) return;
  created_ = true;
  hide();
  OnInitDialog();
}

bool CDlgCapacityChannelInfo::OnInitDialog() {
  LayoutFromTemplate();
  okButton.SetSkin(skins::kButtonNormal, skins::kButtonPressed, skins::kButtonHover, skins::kButtonDisabled);
  closeButton.SetSkin(skins::kCloseNormal, skins::kClosePressed, skins::kCloseHover, skins::kCloseNormal);
  SetChannelEditorTexts();
  return true;
}

void CDlgCapacityChannelInfo::LayoutFromTemplate() {
  const dialog_units::BaseUnits base = dialog_units::ForFont(font());
  const QSize clientSize(dialog_units::ToPixelsX(kTemplateWidth, base), dialog_units::ToPixelsY(kTemplateHeight, base));
  setFixedSize(clientSize + QSize(2, 2));
  client_->setGeometry(1, 1, clientSize.width(), clientSize.height());

  titleLabel.setGeometry(10, 10, 100, 20);
  closeButton.setGeometry(clientSize.width() - 24, 6, 20, 20);
  const struct {
    QWidget* widget;
    QRect rect;
  } placed[] = {{&channelsLabel, kChannelsLabelRect},
                {&channelsEdit, kChannelsRect},
                {&standardLabel, kStandardLabelRect},
                {&palRadio, kPalRect},
                {&ntscRadio, kNtscRect},
                {&qualityLabel, kQualityLabelRect},
                {&resolutionLabel, kResolutionLabelRect},
                {&frameRateLabel, kFrameRateLabelRect},
                {&bitRateLabel, kBitRateLabelRect},
                {&okButton, kOkRect}};
  for (const auto& p : placed) p.widget->setGeometry(dialog_units::ToPixels(p.rect, base));
  // A drop-down list's template height includes its open list; the closed box
  // is as high as an edit.
  const int boxHeight = dialog_units::ToPixels(kChannelsRect, base).height();
  for (const auto& [combo, rect] : {std::pair{&qualityCombo, kQualityRect}, std::pair{&resolutionCombo, kResolutionRect},
                                    std::pair{&frameRateCombo, kFrameRateRect}, std::pair{&bitRateCombo, kBitRateRect}}) {
    QRect r = dialog_units::ToPixels(rect, base);
    r.setHeight(boxHeight);
    combo->setGeometry(r);
  }
  // The labels' template height fits one line of the template font only.
  for (QLabel* label : {&channelsLabel, &standardLabel, &qualityLabel, &resolutionLabel, &frameRateLabel, &bitRateLabel}) {
    QRect r = label->geometry();
    label->setGeometry(r.left(), r.center().y() - boxHeight / 2, r.width(), boxHeight);
  }
  labelColumn_ = channelsLabel.geometry().left();
  FitLabelColumn();
}

// The labels stand in one left-aligned column before the controls. Texts
// longer than the template's room (some languages) move the column left,
// never past the popup's margin, instead of being cut under the controls.
void CDlgCapacityChannelInfo::FitLabelColumn() {
  constexpr int kMargin = 10;
  constexpr int kGap = 6;
  const int right = channelsEdit.geometry().left() - kGap;
  int widest = 0;
  for (QLabel* label : {&channelsLabel, &standardLabel, &qualityLabel, &resolutionLabel, &frameRateLabel, &bitRateLabel})
    widest = std::max(widest, label->fontMetrics().horizontalAdvance(label->text()));
  const int left = std::clamp(right - widest, kMargin, labelColumn_);
  for (QLabel* label : {&channelsLabel, &standardLabel, &qualityLabel, &resolutionLabel, &frameRateLabel, &bitRateLabel}) {
    const QRect r = label->geometry();
    label->setGeometry(left, r.top(), right - left, r.height());
  }
  // The title may use the band up to the close button.
  titleLabel.setGeometry(10, 10, std::max(100, closeButton.geometry().left() - 20), 20);
}

QWidget* CDlgCapacityChannelInfo::MainWindow() const { return calculatorPage_ ? calculatorPage_->window() : nullptr; }

// --- showing --------------------------------------------------------------------------

void CDlgCapacityChannelInfo::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Kept above the main window by the platform, as an owned popup is.
  if (QWidget* main = MainWindow(); main && main->windowHandle() && windowHandle())
    windowHandle()->setTransientParent(main->windowHandle());
  if (!event->spontaneous()) RunShowingSteps();
}

void CDlgCapacityChannelInfo::RunShowingSteps() {
  if (!listsLoaded) {
    listsLoaded = true;
    palRadio.setChecked(true);
    ntscRadio.setChecked(false);
    LoadResolutionList();
    RefreshFrameRates();
    RebuildBitrateCurves();
    RefreshBitrates();
  }
  FillQualityCombo(qualityCombo, kBestImageQuality);
  SetModeTexts();
  if (modifyMode) {
    LoadRecordIntoEditor(channelRecord);
  } else {
    channelsEdit.setText(QStringLiteral("1"));
    palRadio.setChecked(true);
    ntscRadio.setChecked(false);
    qualityCombo.setCurrentIndex(qualityCombo.findData(kBestImageQuality));
    RefreshFrameRates();
    RebuildBitrateCurves();
    RefreshBitrates();
  }
  UpdateOkEnabled();
  channelsEdit.setFocus();
  channelsEdit.selectAll();
}

void CDlgCapacityChannelInfo::SetModeTexts() {
  const QString text = Text(modifyMode ? QStringLiteral("tx.Modify_channel") : QStringLiteral("tx.Add_channel"));
  okButton.caption = text;
  okButton.setText(text);
  okButton.update();
  titleLabel.setText(text);
}

void CDlgCapacityChannelInfo::SetChannelEditorTexts() {
  const struct {
    QLabel* label;
    const char* key;
  } labels[] = {{&channelsLabel, "ck.Channels"},     {&standardLabel, "ck.Vedio_Standard"},
                {&qualityLabel, "ck.Image_Quality"}, {&resolutionLabel, "ck.Resolution"},
                {&frameRateLabel, "ck.Frame_Rate"},  {&bitRateLabel, "ck.Bit_Rate"}};
  for (const auto& l : labels) l.label->setText(Text(QString::fromLatin1(l.key)));
  FitLabelColumn();
  SetModeTexts();
  FillQualityCombo(qualityCombo, SelectedData(qualityCombo, kBestImageQuality));
}

// --- lists ----------------------------------------------------------------------------------

void CDlgCapacityChannelInfo::LoadResolutionList() {
  resolutionMap = LoadResolutionMap(encodeIniPath);
  resolutionCombo.clear();
  for (const auto& [id, name] : resolutionMap) resolutionCombo.addItem(name, id);
  resolutionCombo.setCurrentIndex(resolutionCombo.count() - 1);  // the highest id
}

void CDlgCapacityChannelInfo::RebuildBitrateCurves() {
  if (resolutionMap.empty()) return;  // no resolution, no curve
  int id = SelectedData(resolutionCombo, -1);
  if (id < 0 || id >= kResolutionIdCount) id = resolutionMap.begin()->first;
  if (palRadio.isChecked())
    InterpolateBitrateCurves(palBitrateCurves[0].data(), kStandardPal, id);
  else
    InterpolateBitrateCurves(ntscBitrateCurves[0].data(), kStandardNtsc, id);
}

void CDlgCapacityChannelInfo::RefreshFrameRates() {
  int wanted = 0;
  CStringToInt(frameRateCombo.currentText(), &wanted, 10);
  if (wanted == 0) wanted = kPalTopFrameRate;
  FillFrameRateCombo(frameRateCombo, !palRadio.isChecked(), wanted);
}

void CDlgCapacityChannelInfo::FillFrameRateCombo(QComboBox& list, bool ntsc, int wantedFrameRate) {
  const int top = ntsc ? kNtscTopFrameRate : kPalTopFrameRate;
  const QSignalBlocker quiet(&list);
  list.clear();
  for (int rate = 1; rate <= top; ++rate) list.addItem(QString::number(rate));
  list.setCurrentIndex(std::clamp(wantedFrameRate, 1, top) - 1);
}

void CDlgCapacityChannelInfo::RefreshBitrates() {
  const bool ntsc = !palRadio.isChecked();
  int frameRate = 0;
  CStringToInt(frameRateCombo.currentText(), &frameRate, 10);
  int level = SelectedData(qualityCombo, kBestImageQuality);
  if (level < 0 || level >= kImageQualityCount) level = kBestImageQuality;
  FillBitrateCombo(bitRateCombo, ntsc, frameRate, level);
}

void CDlgCapacityChannelInfo::FillBitrateCombo(QComboBox& list, bool ntsc, int frameRate, int level) {
  list.clear();
  const int top = ntsc ? kNtscTopFrameRate : kPalTopFrameRate;
  // Without a resolution there are no curves to offer; a frame rate outside
  // the curve has no point on it.
  if (resolutionMap.empty() || frameRate < 1 || frameRate > top) return;
  for (int k = 0; k < kImageQualityCount; ++k) {
    const uint16_t rate = ntsc ? ntscBitrateCurves[static_cast<std::size_t>(k)][static_cast<std::size_t>(frameRate - 1)]
                               : palBitrateCurves[static_cast<std::size_t>(k)][static_cast<std::size_t>(frameRate - 1)];
    list.addItem(QString::number(rate), k);
  }
  list.setCurrentIndex(level);
}

void CDlgCapacityChannelInfo::FillQualityCombo(QComboBox& list, int level) {
  list.clear();
  for (const ImageQuality& quality : ImageQualityTable) list.addItem(Text(QString::fromLatin1(quality.key)), quality.id);
  list.setCurrentIndex(list.findData(level));
}

void CDlgCapacityChannelInfo::LoadRecordIntoEditor(const CapacityChannelRecord& record) {
  channelsEdit.setText(QString::number(record.channels));
  const bool pal = record.videoStandard == "PAL";
  palRadio.setChecked(pal);
  ntscRadio.setChecked(!pal);
  RefreshFrameRates();
  RebuildBitrateCurves();
  RefreshBitrates();
  FillQualityCombo(qualityCombo, kBestImageQuality);
}

void CDlgCapacityChannelInfo::ReadChannelRecord(CapacityChannelRecord& record) const {
  record = CapacityChannelRecord{};
  CStringToInt(channelsEdit.text(), &record.channels, 10);
  record.videoStandard = palRadio.isChecked() ? "PAL" : "NTSC";
  record.imageQuality = qualityCombo.currentIndex() >= 0 ? SelectedData(qualityCombo, kBestImageQuality)
                                                         : qualityCombo.itemData(kBestImageQuality).toInt();
  QString resolution = resolutionCombo.currentText();
  CStringToMultiByte(resolution, record.resolution, kCodePageUtf8);
  CStringToInt(frameRateCombo.currentText(), &record.frameRate, 10);
  CStringToInt(bitRateCombo.currentText(), &record.bitRate, 10);
}

// --- commands ------------------------------------------------------------------------------------

void CDlgCapacityChannelInfo::UpdateOkEnabled() { okButton.setEnabled(resolutionCombo.count() > 0); }

void CDlgCapacityChannelInfo::OnOk() {
  if (resolutionCombo.count() == 0) return;  // nothing to describe a group with
  ReadChannelRecord(channelRecord);
  const auto record = reinterpret_cast<pm::WPARAM>(&channelRecord);
  if (!modifyMode) {
    if (CapacityCalculatorInstance)
      pm::SendPrivateMessage(CapacityCalculatorInstance, pm::WM_CAPACITY_ADD_CHANNEL, record, 0);
    return;  // stays open for the next group
  }
  if (QWidget* main = MainWindow()) main->setEnabled(true);
  hide();
  if (CapacityCalculatorInstance)
    pm::SendPrivateMessage(CapacityCalculatorInstance, pm::WM_CAPACITY_MODIFY_CHANNEL, record, 0);
}

void CDlgCapacityChannelInfo::reject() {
  if (QWidget* main = MainWindow()) main->setEnabled(true);
  hide();
}

void CDlgCapacityChannelInfo::OnStandardClicked() {
  RefreshFrameRates();
  RebuildBitrateCurves();
  RefreshBitrates();
}

// Enter acts as OK (the popup never ends hidden over a disabled main window);
// Esc is the cancel operation.
void CDlgCapacityChannelInfo::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      OnOk();
      return;
    case Qt::Key_Escape:
      reject();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

pm::LRESULT CDlgCapacityChannelInfo::OnPrivateMessage(unsigned message, pm::WPARAM, pm::LPARAM) {
  if (message != pm::WM_LANGUAGE_CHANGED) return 0;
  SetChannelEditorTexts();
  return 1;
}
