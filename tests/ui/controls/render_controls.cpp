// Renders the controls together as a page would show them, and the message
// box of every kind, to PNG files, offscreen, for a person to look at:
// render_controls <folder>.
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <cstdio>

#include "tests/ui/controls/render_support.h"
#include "ui/controls/color_list.h"
#include "ui/controls/dlg_tip.h"
#include "ui/controls/skin_button.h"
#include "ui/controls/tree_ctrl.h"
#include "ui/framework/colours.h"
#include "ui/framework/skins.h"

namespace {

bool Keep(QWidget& widget, const QString& folder, const QString& name) {
  if (!QTest::qWaitForWindowExposed(&widget)) {
    std::fprintf(stderr, "render_controls: %s was never shown\n", qPrintable(name));
    return false;
  }
  QTest::qWait(20);
  const QString path = folder + "/" + name + ".png";
  if (!Grab(widget).save(path)) {
    std::fprintf(stderr, "render_controls: cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

bool ControlsAsAPageShowsThem(const QString& folder) {
  QWidget page;
  page.resize(760, 420);
  page.setAutoFillBackground(true);
  QPalette pal = page.palette();
  pal.setColor(QPalette::Window, Qt::white);
  page.setPalette(pal);

  auto* band = new QWidget(&page);
  band->setGeometry(0, 0, 760, 40);
  band->setAutoFillBackground(true);
  QPalette bandPal = band->palette();
  bandPal.setColor(QPalette::Window, colours::FromColorRef(colours::kBand));
  band->setPalette(bandPal);
  const int caption[][4] = {{241, 240, 242, 241}, {208, 211, 209, 208}, {214, 216, 215, 214}, {205, 204, 206, 205}};
  for (int i = 0; i < 4; ++i) {
    auto* b = new CxSkinButton(band);
    b->SetSkin(caption[i][0], caption[i][1], caption[i][2], caption[i][3]);
    b->setGeometry(760 - 92 + i * 22 + (i ? 2 : 0), 10, 20, 20);
  }
  new QLineEdit(QStringLiteral("192.168"), &page);
  page.findChild<QLineEdit*>()->setGeometry(10, 52, 154, 28);
  const int tools[][4] = {{188, 187, 189, 186}, {173, 172, 174, 171}, {195, 194, 196, 193}, {232, 230, 233, 228}};
  const int toolX[] = {174, 212, 260, 309};
  for (int i = 0; i < 4; ++i) {
    auto* b = new CxSkinButton(&page);
    b->SetSkin(tools[i][0], tools[i][1], tools[i][2], tools[i][3]);
    b->setGeometry(toolX[i], 52, 28, 28);
    if (i == 3) b->setEnabled(false);
  }
  auto* search = new CxSkinButton(&page);
  search->SetSkin(179, 178, 180, 177);
  search->setGeometry(417, 52, 84, 28);
  search->caption = "Search";
  search->forcedState = 1;
  search->textColour = Qt::white;
  const char* names[] = {"Normal", "Hover", "Disabled", "A caption too long"};
  for (int i = 0; i < 4; ++i) {
    auto* b = new CxSkinButton(&page);
    b->SetSkin(179, 178, 180, 177);
    b->setGeometry(520 + (i % 2) * 115, 48 + (i / 2) * 34, 110, 30);
    b->caption = names[i];
    b->textColour = Qt::black;
    if (i == 1) b->forcedState = 2;
    if (i == 2) b->setEnabled(false);
  }
  auto* list = new CMyColorListCtrlEx(&page);
  list->setGeometry(10, 120, 520, 290);
  list->setColumnCount(5);
  list->setHeaderLabels({"No.", "IP", "MAC", "Type", "Login state"});
  const int widths[] = {40, 110, 140, 60, 100};
  for (int c = 0; c < 5; ++c) list->header()->resizeSection(c, widths[c]);
  list->header()->setSortIndicatorShown(true);
  list->header()->setSortIndicator(1, Qt::AscendingOrder);
  for (int r = 0; r < 9; ++r) {
    auto* item = new QTreeWidgetItem(list);
    item->setText(0, QString::number(r + 1));
    item->setText(1, QString("192.168.1.%1").arg(20 + r));
    item->setText(2, QString("00:12:41:0A:33:%1").arg(r, 2, 10, QChar('0')));
    item->setText(3, r % 3 ? "IPC" : "NVR");
    item->setText(4, r == 2 ? "Logged in" : "Not logged in");
    item->setCheckState(0, r == 4 ? Qt::Checked : Qt::Unchecked);
  }
  list->topLevelItem(2)->setSelected(true);
  auto* tree = new CMyTreeCtrl(&page);
  tree->setGeometry(545, 120, 205, 290);
  QTreeWidgetItem* root = tree->InsertItem("Device list");
  for (int i = 0; i < 6; ++i) {
    QTreeWidgetItem* d = tree->InsertItem(QString("192.168.1.%1").arg(20 + i), root);
    if (i == 1 || i == 4) d->setCheckState(0, Qt::Checked);
    if (i == 1) d->setText(0, "192.168.1.21  Success");
  }
  tree->expandAll();
  page.show();
  return Keep(page, folder, "gallery");
}

bool MessageBoxOfEveryKind(const QString& folder) {
  const struct {
    int kind;
    bool cancel;
    const char* text;
    const char* name;
  } boxes[] = {
      {0x10, false, "Search failed, result 0.", "tip_error"},
      {0x20, true, "Reboot the checked devices?", "tip_question_box"},
      {0x30, false, "The IP address, mask or gateway is not valid.", "tip_warning"},
      {0x40, false, "Operation completed.", "tip_information"},
  };
  bool ok = true;
  for (const auto& b : boxes) {
    CDlgTip tip;
    tip.SetTipInfo(b.text, "Message", b.cancel ? 1 : 0, 1, b.kind);
    tip.OnInitDialog();
    tip.show();
    ok = Keep(tip, folder, b.name) && ok;
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
  if (!QDir().mkpath(folder)) {
    std::fprintf(stderr, "render_controls: cannot make %s\n", qPrintable(folder));
    return 1;
  }
  const bool page = ControlsAsAPageShowsThem(folder);
  const bool boxes = MessageBoxOfEveryKind(folder);
  return page && boxes ? 0 : 1;
}
