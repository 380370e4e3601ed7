// Fleet files: defaults, every key, and the errors a typo gets.
#include <gtest/gtest.h>

#include "tools/devsim/fleet_file.h"

namespace {

TEST(FleetFile, DefaultsApplyAndSectionsOverride) {
  devsim::Fleet fleet;
  std::string error;
  ASSERT_TRUE(devsim::ParseFleet(R"(
; comment
[fleet]
answer_spread_ms=123
[defaults]
tcp_port=4000
users=admin:x,op:y:z
refuse_write=81,155
[one]
mac=00:11:22:33:44:55
ip=10.0.0.1
model=
capabilities=0x09
kind=1
[two]
mac=00:11:22:33:44:56
ip=10.0.0.2
tcp_port=4001
refuse_write=all
refuse_export=1
silent=1
refuse_stream=1
stream_stall_after=5
main_stream_size=3840x2160
stream_picture_size=15360x15360
stream_capture_us=18446744073709551615
main_stream_announced=65535x65535
stream_shown_size=1280x720
stream_references=0
stream_reorder_frames=16
stream_frame_num_gaps=1
stream_reverse_order=1
stream_chroma_format=3
stream_bit_depth=14
stream_fields=1
stream_slices=139264
stream_overlapping_slices=1
stream_parameter_sets_after_slices=1
stream_parameter_set_id=31
stream_key_frame_every=1
)",
                                 fleet, error))
      << error;
  EXPECT_EQ(fleet.settings.answerSpreadMs, 123);
  ASSERT_EQ(fleet.devices.size(), 2u);
  const auto& one = fleet.devices[0];
  EXPECT_EQ(one.section, "one");
  EXPECT_EQ(one.tcpPort, 4000);
  EXPECT_EQ(one.model, "");
  EXPECT_EQ(one.capabilities, 9);
  EXPECT_EQ(one.kind, 1u);
  ASSERT_EQ(one.users.size(), 2u);
  EXPECT_EQ(one.users[1].name, "op");
  EXPECT_EQ(one.users[1].password, "y:z");
  EXPECT_EQ(one.refuseWrite, (std::set<uint32_t>{81, 155}));
  EXPECT_EQ(fleet.devices[1].tcpPort, 4001);
  EXPECT_TRUE(fleet.devices[1].refuseAllWrites);
  EXPECT_TRUE(fleet.devices[1].silent);
  EXPECT_FALSE(one.refuseExport);
  EXPECT_TRUE(fleet.devices[1].refuseExport);
  EXPECT_FALSE(one.refuseStream);
  EXPECT_EQ(one.streamStallAfter, -1);
  EXPECT_TRUE(fleet.devices[1].refuseStream);
  EXPECT_EQ(fleet.devices[1].streamStallAfter, 5);
  EXPECT_EQ(one.mainStreamWidth, 1280);
  EXPECT_EQ(one.mainStreamHeight, 720);
  EXPECT_EQ(one.streamPictureWidth, 0);
  EXPECT_FALSE(one.streamCaptureUs);
  EXPECT_EQ(fleet.devices[1].mainStreamWidth, 3840);
  EXPECT_EQ(fleet.devices[1].mainStreamHeight, 2160);
  EXPECT_EQ(fleet.devices[1].streamPictureWidth, 15360);
  EXPECT_EQ(fleet.devices[1].streamPictureHeight, 15360);
  EXPECT_EQ(fleet.devices[1].streamCaptureUs, ~uint64_t{0});
  // The flat pictures' sequence: as an honest camera's unless a knob says otherwise.
  const devsim::FlatSequence honest;
  EXPECT_EQ(one.mainStreamAnnouncedWidth, 0);
  EXPECT_EQ(one.streamFlat.references, honest.references);
  EXPECT_EQ(one.streamFlat.reorderFrames, honest.reorderFrames);
  EXPECT_EQ(one.streamFlat.slices, 1);
  EXPECT_EQ(one.streamKeyFrameEvery, 0);
  const auto& two = fleet.devices[1];
  EXPECT_EQ(two.mainStreamAnnouncedWidth, 65535);
  EXPECT_EQ(two.mainStreamAnnouncedHeight, 65535);
  EXPECT_EQ(two.streamFlat.shownWidth, 1280);
  EXPECT_EQ(two.streamFlat.shownHeight, 720);
  EXPECT_EQ(two.streamFlat.references, 0);
  EXPECT_EQ(two.streamFlat.reorderFrames, 16);
  EXPECT_TRUE(two.streamFlat.frameNumGaps);
  EXPECT_TRUE(two.streamFlat.reverseOrder);
  EXPECT_EQ(two.streamFlat.chromaFormat, 3);
  EXPECT_EQ(two.streamFlat.bitDepth, 14);
  EXPECT_TRUE(two.streamFlat.fields);
  EXPECT_EQ(two.streamFlat.slices, 139264);
  EXPECT_TRUE(two.streamFlat.overlappingSlices);
  EXPECT_TRUE(two.streamFlat.parameterSetsAfterSlices);
  EXPECT_EQ(two.streamFlat.parameterSetId, 31);
  EXPECT_EQ(two.streamKeyFrameEvery, 1);
}

TEST(FleetFile, MistakesAreNamed) {
  const std::string dev = "[d]\nmac=00:11:22:33:44:55\nip=10.0.0.1\n";
  struct Case {
    std::string text;
    const char* says;
  } cases[] = {
      {"", "no device"},
      {"mac=1\n", "inside a section"},
      {"[d\n", "malformed section"},
      {dev + "colour=red\n", "unknown key \"colour\""},
      {dev + "tcp_port=70000\n", "bad value for \"tcp_port\""},
      {dev + "ip=10.0.0\n", "bad value for \"ip\""},
      {dev + "silent=yes\n", "bad value for \"silent\""},
      {dev + "stream_stall_after=-2\n", "bad value for \"stream_stall_after\""},
      {dev + "stream_picture_size=15360\n", "bad value for \"stream_picture_size\""},
      {dev + "stream_picture_size=641x360\n", "bad value for \"stream_picture_size\""},
      {dev + "stream_picture_size=16386x16\n", "bad value for \"stream_picture_size\""},
      {dev + "main_stream_size=7680x4320\n", "bad value for \"main_stream_size\""},
      {dev + "stream_capture_us=18446744073709551616\n", "bad value for \"stream_capture_us\""},
      {dev + "stream_capture_us=-1\n", "bad value for \"stream_capture_us\""},
      {dev + "main_stream_announced=65536x100\n", "bad value for \"main_stream_announced\""},
      {dev + "stream_shown_size=641x360\n", "bad value for \"stream_shown_size\""},
      {dev + "stream_references=17\n", "bad value for \"stream_references\""},
      {dev + "stream_reorder_frames=-2\n", "bad value for \"stream_reorder_frames\""},
      {dev + "stream_chroma_format=4\n", "bad value for \"stream_chroma_format\""},
      {dev + "stream_bit_depth=16\n", "bad value for \"stream_bit_depth\""},
      {dev + "stream_slices=0\n", "bad value for \"stream_slices\""},
      {dev + "stream_fields=2\n", "bad value for \"stream_fields\""},
      {dev + "stream_parameter_set_id=32\n", "bad value for \"stream_parameter_set_id\""},
      {dev + "users=nopassword\n", "bad value for \"users\""},
      {"[d]\nmac=00:11:22:33:44\nip=10.0.0.1\n", "bad value for \"mac\""},
      {"[d]\nip=10.0.0.1\n", "mac and ip are required"},
      {dev + "[e]\nmac=00:11:22:33:44:55\nip=10.0.0.2\n", "used twice"},
      {dev + "[e]\nmac=00:11:22:33:44:66\nip=10.0.0.1\n", "used twice"},
      {"[fleet]\nanswer_spread_ms=99999\n" + dev, "fleet setting"},
  };
  for (const auto& c : cases) {
    devsim::Fleet fleet;
    std::string error;
    EXPECT_FALSE(devsim::ParseFleet(c.text, fleet, error)) << c.text;
    EXPECT_NE(error.find(c.says), std::string::npos) << error;
  }
}

}  // namespace
