// The IPv4 address field: only dotted addresses, blank boxes read 0.
#include "ui/devicelist/ip_address_field.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

namespace {

TEST(IpAddressField, SetTextAndReadBack) {
  CIpAddressField field;
  field.setText("192.168.1.10");
  EXPECT_EQ(field.text(), "192.168.1.10");
  EXPECT_EQ(field.address(), 0xC0A8010Au);
  EXPECT_FALSE(field.isBlank());
}

TEST(IpAddressField, AnythingButADottedAddressBlanksIt) {
  CIpAddressField field;
  for (const char* bad : {"", "1.2.3", "1.2.3.4.5", "300.1.1.1", "a.b.c.d", "1..2.3"}) {
    field.setText("10.0.0.1");
    field.setText(bad);
    EXPECT_TRUE(field.isBlank()) << bad;
    EXPECT_EQ(field.address(), 0u) << bad;
    EXPECT_EQ(field.text(), "0.0.0.0") << bad;
  }
}

TEST(IpAddressField, TypingMovesOnAtDotsAndThreeDigits) {
  CIpAddressField field;
  field.show();
  QApplication::setActiveWindow(&field);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&field));
  field.octetBox(0)->setFocus();
  // Each key goes where the focus is at that moment, as a user's would.
  for (char c : std::string("10.1.2557")) QTest::keyClick(QApplication::focusWidget(), c);  // "255" moves on
  EXPECT_EQ(field.text(), "10.1.255.7");
}

TEST(IpAddressField, TypingAWholeAddressOverAFilledFieldKeepsEveryOctetInPlace) {
  // The installer selects the first box of a filled field and types the new
  // address with its dots: the dot after a three-digit octet must not skip the
  // next box, whose old text is still there (selected) when the dot arrives.
  const struct {
    const char* before;
    const char* typed;
    const char* after;
  } cases[] = {
      {"192.161.122.22", "192.168.1.122", "192.168.1.122"},
      {"10.0.0.1", "172.16.100.200", "172.16.100.200"},
      {"1.2.3.4", "10.20.30.40", "10.20.30.40"},
      {"", "192.168.1.122", "192.168.1.122"},
  };
  for (const auto& c : cases) {
    CIpAddressField field;
    field.setText(c.before);
    field.show();
    QApplication::setActiveWindow(&field);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&field));
    field.octetBox(0)->setFocus();
    field.octetBox(0)->selectAll();
    for (char ch : std::string(c.typed)) QTest::keyClick(QApplication::focusWidget(), ch);
    EXPECT_EQ(field.text().toStdString(), c.after) << c.typed << " over " << c.before;
  }
}

TEST(IpAddressField, RefusesLettersAndClampsOctets) {
  CIpAddressField field;
  QTest::keyClicks(field.octetBox(1), "x9z");
  EXPECT_EQ(field.octetBox(1)->text(), "9");
  field.octetBox(2)->clear();
  QTest::keyClicks(field.octetBox(2), "999");
  EXPECT_EQ(field.octetBox(2)->text(), "255");
}

TEST(IpAddressField, PastingADottedAddressFillsEveryBox) {
  CIpAddressField field;
  QApplication::clipboard()->setText("172.20.0.5");
  QTest::keySequence(field.octetBox(0), QKeySequence::Paste);
  EXPECT_EQ(field.text(), "172.20.0.5");
}

TEST(IpAddressField, ReportsEveryChangeOnce) {
  CIpAddressField field;
  QSignalSpy spy(&field, &CIpAddressField::changed);
  field.setText("10.0.0.1");
  EXPECT_EQ(spy.count(), 1);
  QTest::keyClicks(field.octetBox(3), "2");
  EXPECT_EQ(spy.count(), 2);
  field.clear();
  EXPECT_EQ(spy.count(), 3);
  field.clear();  // already blank: nothing changes
  EXPECT_EQ(spy.count(), 3);
}

}  // namespace
