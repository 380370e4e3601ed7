// The judge of the language sweep: which texts it finds, which it skips, and
// which it calls raw keys or cut.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QTreeWidget>

#include "tests/ui/sweep/shown_texts.h"
#include "ui/controls/skin_button.h"

namespace {

const ShownText* Find(const std::vector<ShownText>& texts, const QString& text) {
  for (const ShownText& t : texts)
    if (t.text == text) return &t;
  return nullptr;
}

TEST(ShownTexts, FindsVisibleTextsAndTellsWhichAreCut) {
  QWidget window;
  window.resize(400, 300);
  QLabel fits("OK", &window);
  fits.setGeometry(10, 10, 100, 20);
  QLabel cut("A label far too long for its box", &window);
  cut.setGeometry(10, 40, 60, 20);
  QLabel hidden("Hidden", &window);
  hidden.hide();
  QCheckBox box("A check box with a long text", &window);
  box.setGeometry(10, 70, 80, 20);
  CxSkinButton skin(&window);
  skin.caption = "A caption the button elides";
  skin.setGeometry(10, 100, 40, 20);
  QTreeWidget tree(&window);
  tree.setHeaderHidden(true);
  tree.setGeometry(10, 130, 80, 100);
  new QTreeWidgetItem(&tree, QStringList{"An item wider than the tree"});
  QDialog popup(&window);  // a window of its own
  QLabel inPopup("In the popup", &popup);
  window.show();
  popup.show();

  const auto texts = ShownTexts(window);
  const struct {
    QString text;
    bool found;
    bool cut;
  } cases[] = {{"OK", true, false},
               {"A label far too long for its box", true, true},
               {"Hidden", false, false},
               {"A check box with a long text", true, true},
               {"A caption the button elides", true, false},
               {"An item wider than the tree", true, true},
               {"In the popup", false, false}};
  for (const auto& c : cases) {
    const ShownText* t = Find(texts, c.text);
    EXPECT_EQ(t != nullptr, c.found) << c.text.toStdString();
    if (t) {
      EXPECT_EQ(t->cut, c.cut) << c.text.toStdString();
    }
  }
}

TEST(ShownTexts, RawKeysAreKeysOfTheFileOrShapedLikeOne) {
  const QHash<QString, QString> dictionary{{"tx.OK", "OK"}, {"K0008_OtherErrors", "Unknown error"}};
  const struct {
    QString text;
    QStringList raw;
  } cases[] = {{"OK", {}},
               {"tx.OK", {"tx.OK"}},
               {"tx.OK:", {"tx.OK"}},
               {"Version: ck.Version.", {"ck.Version"}},
               {"K0008_OtherErrors", {"K0008_OtherErrors"}},
               {"192.168.1.64", {}},
               {"V4.2.0 build 20261001", {}},
               {"www.example.com", {}}};
  for (const auto& c : cases) EXPECT_EQ(RawKeysIn(c.text, dictionary), c.raw) << c.text.toStdString();
}

}  // namespace
