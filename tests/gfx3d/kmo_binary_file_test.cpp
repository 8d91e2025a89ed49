#include "gfx3d/kmo_binary_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "gfx3d/kmo_normal_table.h"
#include "system/debug_log.h"
#include "system/little_endian.h"
#include "tests/support/kmo_golden.h"
#include "tests/support/memory_file.h"
#include "tests/support/peak_memory.h"
#include "tests/support/temp_dir.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}
std::string Text(const std::vector<uint8_t>& bytes) {
  return {bytes.begin(), bytes.end()};
}

MeshVertex Record(Vec3 position, float u, float v, uint32_t colour, uint8_t index) {
  MeshVertex vertex;
  vertex.position = position;
  vertex.u = u;
  vertex.v = v;
  SetVertexColour(vertex, colour, index);
  return vertex;
}

// One red-red-green triangle opened by a strip marker, the v of each corner stored negated, as
// building it in code leaves it.
void FillGoldenMesh(MeshObject& mesh) {
  MeshFrame frame;
  frame.buildStream.Append(Record({0, 0, 0}, 0, 0, kBreakStrip, 0));
  frame.buildStream.Append(Record({0, 0, 0}, 0, -0.0f, 0x0000FF, 1));
  frame.buildStream.Append(Record({1, 0, 0}, 1, -0.0f, 0x0000FF, 1));
  frame.buildStream.Append(Record({0, 1, 0}, 0, -1.0f, 0x00FF00, 2));
  mesh.frames.Append(std::move(frame));
  for (uint32_t colour : {kBreakStrip, 0x0000FFu, 0x00FF00u}) mesh.colourTable.Append(colour);
}

std::vector<uint8_t> GoldenBytes() {
  MeshObject golden;
  FillGoldenMesh(golden);
  return EncodeKmoModel(golden);
}

KmoReadResult Decode(std::span<const uint8_t> bytes, MeshObject& mesh) {
  double version = 0;
  return DecodeKmoModel(bytes, mesh, version);
}

std::string LogText() {
  return TempDir::ReadBytes(ErrorLogPath());
}

// A log of its own per test, in a folder of its own.
struct KmoFiles : ::testing::Test {
  TempDir dir{true};
};

TEST_F(KmoFiles, GoldenFileByteForByteUnderTheLongestName) {
  MeshObject mesh;
  FillGoldenMesh(mesh);
  std::string name = dir.Child(std::string(251, 't') + ".kmo");
  ASSERT_EQ(SaveKmoModel(mesh, name.c_str()), 1);
  std::vector<uint8_t> written = Bytes(TempDir::ReadBytes(name));
  EXPECT_EQ(written.size(), 128u);
  EXPECT_EQ(Hex(written), kGoldenHex);
}

TEST_F(KmoFiles, WriteThenReadGivesTheMeshBack) {
  MeshObject saved;
  FillGoldenMesh(saved);
  MeshFrame second;
  FrameRecordAssign(second, saved.frames[0]);
  second.buildStream[3].position = {2.5f, -3.25f, 1e-3f};
  second.buildStream[3].normal = {0, 0, 3};
  saved.frames.Append(std::move(second));
  std::string name = dir.Child("round.kmo");
  ASSERT_EQ(SaveKmoModel(saved, name.c_str()), 1);

  MeshObject loaded;
  ASSERT_EQ(LoadKmoModel(loaded, name.c_str()), 1);
  EXPECT_EQ(loaded.normalsDone, 1);
  EXPECT_EQ(loaded.tangentsDone, 0);
  ASSERT_EQ(loaded.frames.count(), 2);
  ASSERT_EQ(std::vector<uint32_t>(loaded.colourTable.begin(), loaded.colourTable.end()),
            std::vector<uint32_t>(saved.colourTable.begin(), saved.colourTable.end()));
  for (int32_t f = 0; f < 2; ++f) {
    ASSERT_EQ(loaded.frames[f].buildStream.count(), 4);
    for (int32_t i = 0; i < 4; ++i) {
      const MeshVertex& a = saved.frames[f].buildStream[i];
      const MeshVertex& b = loaded.frames[f].buildStream[i];
      EXPECT_EQ(
          std::tie(a.position.x, a.position.y, a.position.z, a.u, a.v, a.colour, a.colourIndex),
          std::tie(b.position.x, b.position.y, b.position.z, b.u, b.v, b.colour, b.colourIndex));
      EXPECT_EQ(std::vector<float>(a.rgba, a.rgba + 4), std::vector<float>(b.rgba, b.rgba + 4));
    }
  }
  const Vec3 up = loaded.frames[1].buildStream[3].normal;
  EXPECT_EQ(std::tie(up.x, up.y, up.z),
            std::tie(KmoNormalTable[5].x, KmoNormalTable[5].y, KmoNormalTable[5].z));
}

TEST_F(KmoFiles, FramesWithoutRecordsWriteHeaderAndCountsOnly) {
  MeshObject mesh;
  for (int i = 0; i < 3; ++i) mesh.frames.Append(MeshFrame{});
  EXPECT_EQ(EncodeKmoModel(mesh).size(), 24u + 4 * 3);
  EXPECT_TRUE(EncodeKmoModel(MeshObject{}).empty());
}

TEST(KmoNormalIndex, AxesAndExactEntries) {
  struct Case {
    Vec3 normal;
    int index;
  };
  for (Case c :
       {Case{{0, 0, 1}, 5}, Case{{0, 1, 0}, 32}, Case{{1, 0, 0}, 52}, Case{{0, 0, -1}, 84},
        Case{{0, -1, 0}, 104}, Case{{-1, 0, 0}, 143}, Case{{0, 0, 0}, 0}, Case{{0, 0, 7}, 5}}) {
    EXPECT_EQ(KmoNormalIndex(c.normal), c.index) << c.normal.x << c.normal.y << c.normal.z;
  }
  for (int i = 0; i < kKmoNormalCount; ++i) EXPECT_EQ(KmoNormalIndex(KmoNormalTable[i]), i);
}

TEST(KmoNormalTable, UnitLengthDistinctAndEqualToTheDataFile) {
  std::set<std::tuple<float, float, float>> distinct;
  for (const Vec3& n : KmoNormalTable) {
    EXPECT_NEAR(std::sqrt(Dot(n, n)), 1.0f, 1e-5f);
    distinct.emplace(n.x, n.y, n.z);
  }
  EXPECT_EQ(distinct.size(), 162u);
  EXPECT_EQ(KmoNormalTable[0].x, -0.525731f);
  EXPECT_EQ(KmoNormalTable[161].z, -0.425325f);

  std::ifstream data(std::string(QRN_SOURCE_DIR) + "/tests/data/normal-table-162.txt");
  ASSERT_TRUE(data);
  std::string line;
  int i = 0;
  while (std::getline(data, line)) {
    if (line.empty() || line[0] == '#') continue;
    float x, y, z;
    ASSERT_EQ(std::sscanf(line.c_str(), "%f %f %f", &x, &y, &z), 3);
    ASSERT_LT(i, 162);
    EXPECT_EQ(std::tie(KmoNormalTable[i].x, KmoNormalTable[i].y, KmoNormalTable[i].z),
              std::tie(x, y, z));
    ++i;
  }
  EXPECT_EQ(i, 162);
}

// A file of the packed form: one frame of one record at byte 10 with offset 2, scale 0.5.
std::vector<uint8_t> PackedFile(uint8_t versionLastByte = 0x3F) {
  std::vector<uint8_t> file = {0x17, 0xB3, 0xC6, 0x00, 0x52, 0xB8,
                               0x1E, 0x85, 0xEB, 0x51, 0xF0, versionLastByte};
  auto word = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) file.push_back(uint8_t(v >> (8 * i)));
  };
  auto real = [&](float v) { word(std::bit_cast<uint32_t>(v)); };
  word(1), word(1), word(1);     // F, P, V
  word(0x00204080);              // colour table
  real(0.25f), real(0.75f);      // u, v
  word(1);                       // n
  real(2), real(0), real(0);     // offsets
  real(0.5f), real(1), real(1);  // scales
  for (uint8_t b : {10, 3, 4, 5, 0}) file.push_back(b);
  return file;
}

TEST_F(KmoFiles, PackedVersionUnpacksPositionsAndNegatesV) {
  MemoryFile file(Text(PackedFile()));
  MeshObject mesh;
  ASSERT_EQ(LoadKmoModel(mesh, file.name.c_str()), 1);
  const MeshVertex& vertex = mesh.frames[0].buildStream[0];
  EXPECT_EQ(vertex.position.x, 4.0f);
  EXPECT_EQ(vertex.position.y, 3.0f);
  EXPECT_EQ(vertex.u, 0.25f);
  EXPECT_EQ(vertex.v, -0.75f);
  EXPECT_EQ(vertex.normal.z, KmoNormalTable[5].z);
  EXPECT_EQ(vertex.tangent.x, KmoNormalTable[0].x);
  EXPECT_EQ(vertex.rgba[0], 128.0f / 255.0f);
}

TEST_F(KmoFiles, VersionsOutsideTheRangeAreRefusedWithTheirNumber) {
  struct Case {
    double version;
    const char* text;
  };
  for (Case c : {Case{1.01, "1.01"}, Case{2.01, "2.01"}}) {
    std::filesystem::remove(ErrorLogPath());
    std::vector<uint8_t> bytes = GoldenBytes();
    uint64_t bits = std::bit_cast<uint64_t>(c.version);
    for (int i = 0; i < 8; ++i) bytes[4 + i] = uint8_t(bits >> (8 * i));
    std::string name = dir.Child("old.kmo");
    TempDir::WriteBytes(name, Text(bytes));
    MeshObject mesh;
    EXPECT_EQ(LoadKmoModel(mesh, name.c_str()), 0);
    EXPECT_EQ(mesh.frames.count(), 0);
    EXPECT_EQ(LogText(), std::string("Wrong .kmo version: ") + c.text +
                             ". Can use 1.02-2.00\n# read error\n" + name + "\n");
  }
}

TEST_F(KmoFiles, DamagedCountsAndIndicesAreReadErrors) {
  const std::vector<uint8_t> good = GoldenBytes();
  struct Case {
    const char* what;
    size_t offset;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {"negative frame count", 12, {0xFF, 0xFF, 0xFF, 0xFF}},
      {"frame count beyond the file", 12, {0x00, 0x00, 0x00, 0x40}},
      {"negative colour count", 16, {0xFE, 0xFF, 0xFF, 0xFF}},
      {"colour count beyond the file", 16, {0xFF, 0xFF, 0xFF, 0x7F}},
      {"texture count beyond the file", 20, {0x00, 0x00, 0x00, 0x10}},
      {"record count beyond the file", 68, {0x05, 0x00, 0x00, 0x00}},
      {"negative record count", 68, {0x00, 0x00, 0x00, 0x80}},
      {"normal index 162", 72 + 12, {162}},
      {"colour index equal to P", 72 + 14 + 13, {3}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes = good;
    std::copy(c.bytes.begin(), c.bytes.end(), bytes.begin() + long(c.offset));
    MeshObject mesh;
    EXPECT_EQ(Decode(bytes, mesh), KmoReadResult::ReadError) << c.what;
    EXPECT_EQ(mesh.frames.count(), 0) << c.what;
    EXPECT_EQ(mesh.colourTable.count(), 0) << c.what;
  }
  std::string name = dir.Child("bad.kmo");
  std::vector<uint8_t> bad = good;
  bad[72 + 12] = 200;
  TempDir::WriteBytes(name, Text(bad));
  MeshObject mesh;
  EXPECT_EQ(LoadKmoModel(mesh, name.c_str()), 0);
  EXPECT_EQ(LogText(), "# read error\n" + name + "\n");
}

TEST_F(KmoFiles, EveryTruncationIsRefusedAndFramesMayOutgrowTheTextureList) {
  const std::vector<uint8_t> good = GoldenBytes();
  for (size_t size = 4; size < good.size(); ++size) {
    MeshObject mesh;
    EXPECT_EQ(Decode({good.data(), size}, mesh), KmoReadResult::ReadError) << size;
  }
  // V = 2: records 2 and 3 of the frame have no texture pair and read (0, 0).
  std::vector<uint8_t> shorter = good;
  shorter[20] = 2;
  shorter.erase(shorter.begin() + 36 + 16, shorter.begin() + 36 + 32);
  MeshObject mesh;
  ASSERT_EQ(Decode(shorter, mesh), KmoReadResult::Ok);
  EXPECT_EQ(mesh.frames[0].buildStream[3].v, 0.0f);
  EXPECT_EQ(mesh.frames[0].buildStream[3].position.y, 1.0f);
}

TEST(KmoDecode, EverySingleByteMutationReadsOrIsRefusedCleanly) {
  const std::vector<uint8_t> good = GoldenBytes();
  for (size_t at = 4; at < good.size(); ++at) {
    for (uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xA1, 0xFF}) {
      std::vector<uint8_t> bytes = good;
      bytes[at] = value;
      MeshObject mesh;
      if (Decode(bytes, mesh) != KmoReadResult::Ok) {
        ASSERT_EQ(mesh.frames.count(), 0) << at << " " << int(value);
        continue;
      }
      // What is read stays within the file: records never outnumber its bytes.
      int64_t records = 0;
      for (const MeshFrame& frame : mesh.frames) records += frame.buildStream.count();
      ASSERT_LE(records * 5, int64_t(bytes.size())) << at << " " << int(value);
    }
  }
}

TEST_F(KmoFiles, MemoryNamesAreReadButNeverWritten) {
  MeshObject golden;
  FillGoldenMesh(golden);
  MemoryFile file(Text(GoldenBytes()));
  MeshObject mesh;
  EXPECT_EQ(LoadKmoModel(mesh, file.name.c_str()), 1);
  EXPECT_EQ(SaveKmoModel(golden, file.name.c_str()), 0);
  EXPECT_EQ(SaveKmoModel(golden, "mem://whatever"), 0);
}

// Runs in a death-test child: exits 0 when the save answered 0.
void SaveUnderSizeLimit(const MeshObject& mesh, const std::string& name, rlim_t bytes) {
  rlimit limit{bytes, bytes};
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, SIG_IGN);
  std::_Exit(SaveKmoModel(mesh, name.c_str()) == 0 ? 0 : 1);
}

TEST_F(KmoFiles, SaveAnswersZeroWhenNothingOrOnlyPartIsWritten) {
  MeshObject golden;
  FillGoldenMesh(golden);
  EXPECT_EQ(SaveKmoModel(MeshObject{}, dir.Child("empty.kmo").c_str()), 0);
  EXPECT_FALSE(std::filesystem::exists(dir.Child("empty.kmo")));
  EXPECT_EQ(SaveKmoModel(golden, dir.Child("no/such/folder.kmo").c_str()), 0);
  MeshObject big;
  FillGoldenMesh(big);
  for (int i = 0; i < 100; ++i) big.frames[0].buildStream.Append(big.frames[0].buildStream[1]);
  // The child may write 64 bytes; the file size limit makes the rest of the write fail, and
  // the model saved before stays whole. A plain fork, so the child works in this test's folder.
  const std::string name = dir.Child("limited.kmo");
  TempDir::WriteBytes(name, "old model");
  const pid_t child = fork();
  if (child == 0) SaveUnderSizeLimit(big, name, 64);
  int status = -1;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the save answered 1";
  EXPECT_EQ(TempDir::ReadBytes(name), "old model");
}

TEST_F(KmoFiles, ModelsOfManyPiecesAreWrittenWholeOrNotAtAll) {
  MeshObject big;
  FillGoldenMesh(big);
  const int64_t records = 200000;  // some 2.8 MB: the writer hands on three pieces
  const MeshVertex copied = big.frames[0].buildStream[1];
  while (big.frames[0].buildStream.count() < records) big.frames[0].buildStream.Append(copied);
  const std::string name = dir.Child("big.kmo");
  ASSERT_EQ(SaveKmoModel(big, name.c_str()), 1);
  const std::string written = TempDir::ReadBytes(name);
  EXPECT_EQ(written.size(), size_t(24 + 4 * big.colourTable.count() + 4 + 22 * records));
  EXPECT_TRUE(written == Text(EncodeKmoModel(big)));
  // A failure in a later piece keeps the model saved before.
  const pid_t child = fork();
  if (child == 0) SaveUnderSizeLimit(big, name, 3 << 20 >> 1);
  int status = -1;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the save answered 1";
  EXPECT_TRUE(TempDir::ReadBytes(name) == written);
}

TEST_F(KmoFiles, MemoryThatRunsOutIsReportedAsSuch) {
  std::string name = dir.Child("golden.kmo");
  TempDir::WriteBytes(name, Text(GoldenBytes()));
  MeshObject mesh;
  SetGrowArrayAllocationLimit(2);
  int result = LoadKmoModel(mesh, name.c_str());
  SetGrowArrayAllocationLimit(-1);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(mesh.frames.count(), 0);
  EXPECT_EQ(LogText(), "# malloc error\n" + name + "\n");
}

// A file is looked at before it is read: one that is no model costs its first bytes, and a binary
// model is read a piece at a time only as far as its counts lead, records across the pieces'
// seams included, however much follows it.
TEST_F(KmoFiles, FilesAreReadOnlyAsFarAsTheModelGoes) {
  MeshObject large;
  MeshFrame frame;
  for (int32_t i = 0; i < 10000; ++i)
    frame.buildStream.Append(Record({float(i), 0, 0}, 0, 0, 0x0000FF, 0));
  large.frames.Append(std::move(frame));
  large.colourTable.Append(0x0000FF);
  const std::vector<uint8_t> bytes = EncodeKmoModel(large);
  const std::string model = dir.Child("tail.kmo"), other = dir.Child("other.kmo");
  {
    const std::string tail(64 << 20, 'x');
    TempDir::WriteBytes(model, Text(bytes) + tail);
    TempDir::WriteBytes(other, "no model " + tail);
  }
  MeshObject fromFile;
  int loaded = 0;
  EXPECT_LT(PeakMemoryGrowth([&] { loaded = LoadKmoModel(fromFile, model.c_str()); }), 16 << 20);
  ASSERT_EQ(loaded, 1);
  ASSERT_EQ(fromFile.frames[0].buildStream.count(), 10000);
  for (int32_t i = 0; i < 10000; ++i)
    ASSERT_EQ(fromFile.frames[0].buildStream[i].position.x, float(i));
  EXPECT_LT(PeakMemoryGrowth([&] { loaded = LoadKmoModel(fromFile, other.c_str()); }), 16 << 20);
  EXPECT_EQ(loaded, 0);
  EXPECT_EQ(LogText(), "# read error\n" + other + "\n");
}

// Frames of `records` zero records each, after one colour and no texture pairs.
std::vector<uint8_t> FramesFile(int32_t frames, int32_t records, bool packed) {
  const size_t frameBytes = size_t(packed ? 28 + 5 * records : 4 + 14 * records);
  std::vector<uint8_t> file(28 + size_t(frames) * frameBytes);
  std::copy_n((packed ? PackedFile() : GoldenBytes()).begin(), 12, file.begin());
  StoreLe32(&file[12], uint32_t(frames));
  StoreLe32(&file[16], 1);
  for (size_t f = 0; f < size_t(frames); ++f) StoreLe32(&file[28 + f * frameBytes], records);
  return file;
}

// Memory stays within 9 bytes per byte of a 2.0 file and 19 of a packed one, beyond a small
// floor: empty frames (64 bytes for 4 of file) past it are refused before anything is made.
TEST_F(KmoFiles, AModelCostsNoMoreThanABoundPerByteOfItsFile) {
  for (auto [frames, records, packed] :  // records in each frame
       {std::tuple{100000, 1, 0}, std::tuple{1, 100000, 1}, std::tuple{30000, 0, 0}}) {
    MeshObject mesh;
    EXPECT_EQ(Decode(FramesFile(frames, records, packed), mesh), KmoReadResult::Ok) << frames;
  }
  const std::string name = dir.Child("empty-frames.kmo");
  TempDir::WriteBytes(name, Text(FramesFile(1 << 20, 0, false)));  // 4 MB; 64 MB of frames
  MeshObject mesh;
  EXPECT_LT(PeakMemoryGrowth([&] { EXPECT_EQ(LoadKmoModel(mesh, name.c_str()), 0); }), 4 << 20);
  EXPECT_EQ(LogText(), "# malloc error\n" + name + "\n");
}

TEST_F(KmoFiles, MissingFilesFailSilentlyAndTextFallbackReportsReadErrors) {
  MeshObject mesh;
  EXPECT_EQ(LoadKmoModel(mesh, ""), 0);
  EXPECT_EQ(LoadKmoModel(mesh, dir.Child("missing.kmo").c_str()), 0);
  EXPECT_EQ(LogText(), "");
  std::string name = dir.Child("text.kmo");
  TempDir::WriteBytes(name, "not a model");
  EXPECT_EQ(LoadKmoModel(mesh, name.c_str()), 0);
  EXPECT_EQ(LogText(), "# read error\n" + name + "\n");
}

}  // namespace
