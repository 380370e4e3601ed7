// The QR picture of the clicked device's cloud id, read back by a real QR
// decoder.
#include <QTemporaryDir>

#include "tests/ui/devinfo/device_page_fixture.h"
#include "tests/unit/qr/zbar_judge.h"

namespace devlist_test {
namespace {

GreyImage FromPixmap(const QPixmap& pixmap) {
  const QImage image = pixmap.toImage().convertToFormat(QImage::Format_Grayscale8);
  GreyImage grey;
  grey.width = image.width();
  grey.height = image.height();
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) grey.pixels.push_back(image.constScanLine(y)[x]);
  return grey;
}

class DeviceQr : public DevicePageTest {
 protected:
  void SetUp() override {
    had_ = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    saved_ = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home_.path().toUtf8());  // the QR file stays in here
    DevicePageTest::SetUp();
    DeviceRecord a = MakeDevice("00:00:00:00:00:01", "10.0.0.1");
    DeviceRecord b = MakeDevice("00:00:00:00:00:02", "10.0.0.2");
    DeviceRecord c = MakeDevice("00:00:00:00:00:03", "10.0.0.3");
    DeviceRecord d = MakeDevice("00:00:00:00:00:04", "10.0.0.4");
    a.cloudId = "DVR7Q3KPLMNXYZ10";
    b.cloudId = "-- --";
    c.cloudId = "";
    d.cloudId = std::string(64, 'K');  // does not fit the 63-byte QR text
    FinishSearch({a, b, c, d});
  }
  void TearDown() override {
    DevicePageTest::TearDown();
    if (had_) qputenv("XDG_DATA_HOME", saved_);
    else qunsetenv("XDG_DATA_HOME");
  }

  std::optional<std::string> DecodedPicture() {
    const QPixmap picture = page->qrPicture.pixmap();
    if (picture.isNull()) return std::nullopt;
    return judge_.Decode(Enlarge(FromPixmap(picture), 4));
  }

  QTemporaryDir home_;
  QByteArray saved_;
  bool had_ = false;
  ZbarJudge judge_;
};

TEST_F(DeviceQr, ClickOnADeviceWithACloudIdShowsItsCode) {
  page->OnDeviceListClick(0);
  EXPECT_TRUE(page->qrPicture.isVisibleTo(page));
  EXPECT_EQ(page->qrBitmap.size(), QSize(44, 43));
  EXPECT_EQ(DecodedPicture(), std::optional<std::string>("DVR7Q3KPLMNXYZ10"));
  EXPECT_TRUE(QFile::exists(home_.path() + "/Riduzev/QR_temp1.bmp"));
}

TEST_F(DeviceQr, RowsWithoutAUsableCloudIdHideThePicture) {
  for (int row : {1, 2, 3, -1}) {
    page->OnDeviceListClick(0);
    ASSERT_FALSE(page->qrPicture.pixmap().isNull());
    page->OnDeviceListClick(row);
    EXPECT_FALSE(page->qrPicture.isVisibleTo(page)) << row;
    EXPECT_TRUE(page->qrPicture.pixmap().isNull()) << row;
  }
}

TEST_F(DeviceQr, AnotherRowShowsItsOwnCode) {
  page->SetCellText(2, kColCloud, "SECOND-ID-42");
  page->OnDeviceListClick(0);
  page->OnDeviceListClick(2);
  EXPECT_TRUE(page->qrPicture.isVisibleTo(page));
  EXPECT_EQ(DecodedPicture(), std::optional<std::string>("SECOND-ID-42"));
}

TEST_F(DeviceQr, SearchRequestEmptiesButKeepsThePicture) {
  page->OnDeviceListClick(0);
  Main().operatePage.rebootBusy = 1;  // a refused request leaves it alone
  page->RequestSearch();
  EXPECT_FALSE(page->qrPicture.pixmap().isNull());
  Main().operatePage.rebootBusy = 0;
  library.fake.searchResult = 0;
  page->RequestSearch();
  EXPECT_TRUE(page->qrPicture.pixmap().isNull());
  EXPECT_TRUE(page->qrBitmap.isNull());
  EXPECT_TRUE(page->qrPicture.isVisibleTo(page));
  ProcessUntil([&] { return page->searchButton.isEnabled() && !Main().searching; });
}

TEST_F(DeviceQr, PictureShowsEvenWhileABatchRuns) {
  Main().operatePage.upgradeRun.upgradeBusy = 1;
  page->OnDeviceListClick(0);
  Main().operatePage.upgradeRun.upgradeBusy = 0;
  EXPECT_EQ(DecodedPicture(), std::optional<std::string>("DVR7Q3KPLMNXYZ10"));
}

}  // namespace
}  // namespace devlist_test
