// OBJ and MTL text, line by line, with the OBJ writer's progress steps.
#include "tool/obj_mtl_writers.h"

#include <cstring>
#include <string>
#include <unordered_map>

#include "core/number_text.h"
#include "core/str_value.h"
#include "tool/output_file.h"
#include "tool/tool_globals.h"
#include "tool/tool_screen.h"

namespace {

constexpr const char* kCreatedLine = "#Created with tile2cube, a quarnel program";
constexpr const char* kEndLine = "#End of File";

int32_t ListCount(const DimArray& list) {
  return ArrayDimSize(list, 0);
}

// The runtime's number text; a model repeats few values that are not whole numbers (texture
// values are multiples of 1 / S), so their texts are kept by bit pattern.
class NumberTexts {
 public:
  void Append(std::string& out, double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    auto [at, added] = texts_.try_emplace(bits);
    if (added) {
      char text[32];
      FormatNumberText(value, text);
      at->second = text;
    }
    out += at->second;
  }

 private:
  std::unordered_map<uint64_t, std::string> texts_;
};

// One step per written number and per face; the phase picks one to four dots and runs on across
// the four walks.
class ObjProgress {
 public:
  explicit ObjProgress(int64_t steps) : steps_(steps) {}

  void Step(const char* text) {
    if (ProgressFrameDue(++done_ == steps_)) {
      std::string shown(text);
      shown.append(size_t(phase_) + 1, '.');
      ShowProgressFrame(shown.c_str(), nullptr);
    }
    phase_ = (phase_ + 1) % 4;
  }

 private:
  int64_t steps_;
  int64_t done_ = 0;
  int32_t phase_ = 0;
};

// Lines of `group` numbers each; a partial last group is never written.
void WriteNumberLines(OutputFile& file, DimArray& list, const char* prefix, int32_t group,
                      ObjProgress& progress, const char* progressText) {
  NumberTexts texts;
  std::string line;
  const int32_t count = ListCount(list);
  const double* values = count > 0 ? &ToolNumberAt(list, 0) : nullptr;
  int32_t k = 0;
  for (int32_t i = 0; i < count; ++i) {
    line += k == 0 ? prefix : " ";
    texts.Append(line, values[i]);
    if (++k == group) {
      file.Line(line);
      line.clear();
      k = 0;
    }
    progress.Step(progressText);
  }
}

std::string_view View(const Str& text) {
  return {text.data, std::strlen(text.data)};
}

// A face's material line comes before it only where the material changes.
void WriteFaces(OutputFile& file, ObjProgress& progress) {
  ToolState& g = ToolGlobals;
  const int32_t count = ListCount(g.ObjFaceLines);
  if (count == 0) return;
  ToolStringAt(g.ObjMaterialLines, count - 1);  // every face has its material line
  const Str* faces = &ToolStringAt(g.ObjFaceLines, 0);
  const Str* materials = &ToolStringAt(g.ObjMaterialLines, 0);
  for (int32_t j = 0; j < count; ++j) {
    if (j == 0 || !StrEquals(materials[j], materials[j - 1])) file.Line(View(materials[j]));
    file.Line(View(faces[j]));
    progress.Step("Writing OBJ faces");
  }
}

void WriteMaterial(OutputFile& file, double index) {
  ToolState& g = ToolGlobals;
  const StrValue colour = StrValue(" ") + ToolNumberAt(g.PaletteRed, index) / 255 + " " +
                          ToolNumberAt(g.PaletteGreen, index) / 255 + " " +
                          ToolNumberAt(g.PaletteBlue, index) / 255;
  file.Line("");
  file.Line((StrValue("newmtl ") + MaterialName(index)).c_str());
  file.Line((StrValue("Ka") + colour).c_str());
  file.Line((StrValue("Kd") + colour).c_str());
  file.Line("Ks 1 1 1");
  file.Line("d 1.0");
}

}  // namespace

StrValue MaterialName(double index) {
  char name[80];
  WriteMaterialName(index, name);
  return StrValue(name);
}

char* WriteMaterialName(double index, char* out) {
  const char* prefix = index >= 10 ? "material" : "material0";
  const size_t length = std::strlen(prefix);
  std::memcpy(out, prefix, length);
  FormatNumberText(index, out + length);
  return out + length + std::strlen(out + length);
}

double WriteObjFile() {
  ToolState& g = ToolGlobals;
  OutputFile file(g.OutputName + ".obj");
  file.Line(kCreatedLine);
  file.Line((StrValue("mtllib ") + g.OutputName + ".mtl").c_str());
  file.Line("g mesh01");
  file.Line("#Vertexs");
  ObjProgress progress(int64_t(ListCount(g.ObjPositions)) + ListCount(g.ObjTexCoords) +
                       ListCount(g.ObjNormals) + ListCount(g.ObjFaceLines));
  WriteNumberLines(file, g.ObjPositions, "v ", 3, progress, "Writing OBJ vertices");
  file.Line(" ");
  file.Line("#Texture Coords.");
  WriteNumberLines(file, g.ObjTexCoords, "vt ", 2, progress, "Writing OBJ Texture Coords");
  file.Line(" ");
  file.Line("#Normals");
  WriteNumberLines(file, g.ObjNormals, "vn ", 3, progress, "Pretending to calculate OBJ normals");
  file.Line(" ");
  file.Line("#Faces");
  WriteFaces(file, progress);
  file.Line(kEndLine);
  file.Close();
  return 0;
}

double WriteMtlFile() {
  ToolState& g = ToolGlobals;
  const double count = g.PaletteCount;
  OutputFile file(g.OutputName + ".mtl");
  file.Line(kCreatedLine);
  file.Line((StrValue("#Object - ") + g.OutputName).c_str());
  for (double i = 0; i <= count; ++i) WriteMaterial(file, i);
  file.Line(kEndLine);
  file.Close();
  return 0;
}
