// The QR bitmap file: exact headers and geometry, every pixel against the
// symbol, the file read back and decoded by zbar, and the file's life in the
// per-user folder.
#include "core/qr/qr_bitmap.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "core/qr/qr_encoder.h"
#include "core/qr/user_data_folder.h"
#include "tests/unit/qr/zbar_judge.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

uint32_t Le32(const std::vector<uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t Le16(const std::vector<uint8_t>& b, std::size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

// The 16-bit pixels as an upright image, read by hand from the file.
struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<uint16_t> pixels;  // top row first
  uint16_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

Bitmap ParseBitmap(const std::vector<uint8_t>& file) {
  Bitmap bmp;
  bmp.width = static_cast<int>(Le32(file, 18));
  bmp.height = static_cast<int>(Le32(file, 22));
  for (int y = 0; y < bmp.height; ++y) {
    const std::size_t row = 54 + static_cast<std::size_t>(bmp.height - 1 - y) * bmp.width * 2;  // bottom-up
    for (int x = 0; x < bmp.width; ++x) bmp.pixels.push_back(Le16(file, row + 2 * static_cast<std::size_t>(x)));
  }
  return bmp;
}

GreyImage ToGrey(const Bitmap& bmp) {
  GreyImage grey;
  grey.width = bmp.width;
  grey.height = bmp.height;
  for (uint16_t p : bmp.pixels) grey.pixels.push_back(p == 0x0821 ? 0 : 255);
  return grey;
}

class QrBitmapTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(tmp_.isValid()); }
  std::string Path(const std::string& name) const { return tmp_.path().toStdString() + "/" + name; }

  // Every pixel: the quiet zone light, the symbol's modules at `ppm` pixels each.
  static void ExpectPixelsShow(const Bitmap& bmp, const QrEncoder& encoder, int ppm, int width, int height) {
    for (int y = 0; y < bmp.height; ++y)
      for (int x = 0; x < bmp.width; ++x) {
        const bool inside = x >= 5 && y >= 5 && x < 5 + width && y < 5 + height;
        const bool dark = inside && encoder.IsDark((x - 5) / ppm, (y - 5) / ppm) &&
                          (x - 5) / ppm < encoder.SymbolSize() && (y - 5) / ppm < encoder.SymbolSize();
        ASSERT_EQ(bmp.At(x, y), dark ? 0x0821 : 0xFFFF) << x << "," << y;
      }
  }

  QTemporaryDir tmp_;
  ZbarJudge judge_;
};

TEST_F(QrBitmapTest, VersionFourFileHasTheExactHeadersAndGeometry) {
  const std::string text = "CLOUD-ID-0123456789";
  const std::string path = Path("qr.bmp");
  int version = 4, width = 33, height = 33;
  ASSERT_EQ(WriteQrBitmap(text, path, version, width, height), kQrBitmapWritten);
  EXPECT_EQ(version, 4);
  EXPECT_EQ(width, 33);
  EXPECT_EQ(height, 33);

  const auto file = ReadFile(path);
  ASSERT_EQ(file.size(), 3838u);
  const std::vector<uint8_t> header(file.begin(), file.begin() + 54);
  const std::vector<uint8_t> expected = {
      'B', 'M', 0xFE, 0x0E, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,  // file header: 3,838 bytes, pixels at 54
      40, 0, 0, 0, 44, 0, 0, 0, 43, 0, 0, 0, 1, 0, 16, 0,   // 44 x 43 (bottom-up), 1 plane, 16 bits
      0, 0, 0, 0, 0xC8, 0x0E, 0, 0,                         // uncompressed, 3,784 pixel bytes
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(header, expected);

  const Bitmap bmp = ParseBitmap(file);
  EXPECT_EQ(bmp.At(5, 5), 0x0821) << "top-left finder pattern, upright";
  EXPECT_EQ(bmp.At(4, 5), 0xFFFF);
  EXPECT_EQ(bmp.At(38, 5), 0xFFFF) << "the rounding column is light";
  auto encoder = std::make_unique<QrEncoder>();
  int v = 4;
  ASSERT_TRUE(encoder->EncodeData(text.c_str(), v));
  ExpectPixelsShow(bmp, *encoder, 1, 33, 33);

  const auto decoded = judge_.Decode(Enlarge(ToGrey(bmp), 4));
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(*decoded, text);

  const QImage loaded(QString::fromStdString(path));  // a standard BMP reader agrees
  ASSERT_FALSE(loaded.isNull());
  EXPECT_EQ(loaded.size(), QSize(44, 43));
  EXPECT_LT(qGray(loaded.pixel(5, 5)), 40);
  EXPECT_GT(qGray(loaded.pixel(0, 0)), 240);
}

TEST_F(QrBitmapTest, RaisedVersionKeepsThePixelsPerModule) {
  struct Case {
    std::string text;
    int width, height;
    int version, newWidth, newHeight, rowPixels, rows;
  };
  const Case cases[] = {
      {std::string(55, 'v'), 33, 33, 5, 37, 37, 48, 47},      // the caller's size, version 5
      {std::string(70, 'w'), 33, 33, 6, 41, 41, 52, 51},      // version 6
      {std::string(55, 'v'), 132, 99, 5, 148, 111, 158, 121},  // 4 x 3 pixels per module
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.size());
    const std::string path = Path("raised.bmp");
    int version = 4, width = c.width, height = c.height;
    ASSERT_EQ(WriteQrBitmap(c.text, path, version, width, height), kQrBitmapWritten);
    EXPECT_EQ(version, c.version);
    EXPECT_EQ(width, c.newWidth);
    EXPECT_EQ(height, c.newHeight);
    const auto file = ReadFile(path);
    ASSERT_EQ(file.size(), 54u + 2u * c.rowPixels * c.rows);
    EXPECT_EQ(Le32(file, 18), static_cast<uint32_t>(c.rowPixels));
    EXPECT_EQ(Le32(file, 22), static_cast<uint32_t>(c.rows));
    const Bitmap bmp = ParseBitmap(file);
    const auto decoded = judge_.Decode(c.width == 33 ? Enlarge(ToGrey(bmp), 4) : ToGrey(bmp));
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(*decoded, c.text);
  }
}

TEST_F(QrBitmapTest, SeveralPixelsPerModuleDecodeStraightFromTheFile) {
  const std::string text = "rtsp://192.168.1.64:554/Streaming/Channels/101 cloud:AbCdEf0123456789";
  const std::string path = Path("big.bmp");
  int version = 4, width = 33 * 4, height = 33 * 4;
  ASSERT_EQ(WriteQrBitmap(text, path, version, width, height), kQrBitmapWritten);
  const Bitmap bmp = ParseBitmap(ReadFile(path));
  auto encoder = std::make_unique<QrEncoder>();
  int v = 4;
  ASSERT_TRUE(encoder->EncodeData(text.c_str(), v));
  ExpectPixelsShow(bmp, *encoder, width / encoder->SymbolSize(), width, height);
  const auto decoded = judge_.Decode(ToGrey(bmp));
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(*decoded, text);
}

TEST_F(QrBitmapTest, NothingIsWrittenWhenTheTextDoesNotEncode) {
  const std::string path = Path("keep.bmp");
  std::ofstream(path) << "previous picture";
  int version = 4, width = 33, height = 33;
  testing::internal::CaptureStdout();
  EXPECT_EQ(WriteQrBitmap(std::string(1700, 'a'), path, version, width, height), kQrBitmapNotWritten);
  const std::string said = testing::internal::GetCapturedStdout();
  EXPECT_NE(said.find("QR code"), std::string::npos) << "a diagnostic line";
  const auto kept = ReadFile(path);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "previous picture");
  EXPECT_EQ(version, 4);
  EXPECT_EQ(width, 33);
}

TEST_F(QrBitmapTest, RefusesMissingArgumentsUnusableSizesAndUncreatableFiles) {
  int version = 4, width = 33, height = 33;
  EXPECT_EQ(WriteQrBitmap("", Path("a.bmp"), version, width, height), kQrBitmapNotWritten);
  EXPECT_EQ(WriteQrBitmap("abc", "", version, width, height), kQrBitmapNotWritten);
  EXPECT_EQ(WriteQrBitmap("abc", Path("no/such/dir/a.bmp"), version, width, height), kQrBitmapNotWritten);
  // Fewer pixels than modules would divide by zero: refused, nothing written.
  for (int small : {0, 20, -33}) {
    width = small;
    height = 33;
    version = 4;
    EXPECT_EQ(WriteQrBitmap("abc", Path("small.bmp"), version, width, height), kQrBitmapNotWritten) << small;
    EXPECT_FALSE(fs::exists(Path("small.bmp")));
  }
  // Sizes whose file would not fit the header's 32-bit fields.
  version = 4;
  width = 33 * 40000;
  height = 33 * 40000;
  EXPECT_EQ(WriteQrBitmap("abc", Path("huge.bmp"), version, width, height), kQrBitmapNotWritten);
}

TEST_F(QrBitmapTest, MakeQrBitmapWritesAndOverwritesTheOneFileOfTheFolder) {
  const std::string folder = tmp_.path().toStdString() + "/Riduzev/";
  CreateDirectoryTree(folder);
  EXPECT_EQ(MakeQrTempPath(folder), folder + "/QR_temp1.bmp");

  for (const std::string text : {"first-device-cloud-id", "SECOND DEVICE 42"}) {
    std::string path = "stale";
    EXPECT_TRUE(MakeQrBitmap(text, path, folder));
    EXPECT_EQ(path, folder + "/QR_temp1.bmp");
    const auto decoded = judge_.Decode(Enlarge(ToGrey(ParseBitmap(ReadFile(path))), 4));
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(*decoded, text);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}), 1);

  // A text that does not encode leaves the last picture and still hands back the path.
  std::string path;
  testing::internal::CaptureStdout();
  EXPECT_TRUE(MakeQrBitmap(std::string(2000, 'z'), path, folder));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(path, folder + "/QR_temp1.bmp");
  const auto decoded = judge_.Decode(Enlarge(ToGrey(ParseBitmap(ReadFile(path))), 4));
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(*decoded, "SECOND DEVICE 42");

  // A folder that is not there: still true with the path, no file.
  std::string missing;
  EXPECT_TRUE(MakeQrBitmap("abc", missing, folder + "gone/"));
  EXPECT_EQ(missing, folder + "gone//QR_temp1.bmp");
  EXPECT_FALSE(fs::exists(missing));
}

// Texts of 128 bytes or more and paths of 256 bytes or more are used whole.
TEST_F(QrBitmapTest, LongTextsAndLongPathsAreHandledWhole) {
  std::string folder = tmp_.path().toStdString() + "/";
  while (folder.size() < 300) folder += "deeper-and-deeper/";
  folder += "Riduzev/";
  CreateDirectoryTree(folder);
  std::string text;
  for (int i = 0; i < 300; ++i) text += static_cast<char>("abcdefghijklmnopqrstuvwxyz0123456789-_"[i % 38]);

  std::string path;
  EXPECT_TRUE(MakeQrBitmap(text, path, folder));
  ASSERT_GT(path.size(), 256u);
  ASSERT_TRUE(fs::exists(path));
  const auto file = ReadFile(path);
  const Bitmap bmp = ParseBitmap(file);
  const auto decoded = judge_.Decode(Enlarge(ToGrey(bmp), 3));
  ASSERT_TRUE(decoded.has_value());
  EXPECT_EQ(*decoded, text) << "all 300 bytes";
}

}  // namespace
