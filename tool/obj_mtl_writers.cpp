// OBJ and MTL text, line by line, with the OBJ writer's progress steps.
#include "tool/obj_mtl_writers.h"

#include "core/str_value.h"
#include "system/file_commands.h"
#include "tool/tool_globals.h"
#include "tool/tool_screen.h"

namespace {

constexpr int32_t kObjChannel = 0;
constexpr const char* kCreatedLine = "#Created with tile2cube, a quarnel program";
constexpr const char* kEndLine = "#End of File";

void Line(const Str& text) {
  WriteLine(kObjChannel, text);
}
void Line(const char* text) {
  Line(StrValue(text));
}

int32_t ListCount(const DimArray& list) {
  return ArrayDimSize(list, 0);
}

// One step per written number and per face; the phase picks one to four dots and runs on across
// the four walks.
class ObjProgress {
 public:
  explicit ObjProgress(int32_t steps) : steps_(steps) {}

  void Step(const char* text) {
    StrValue shown(text);
    for (int32_t dot = 0; dot <= phase_; ++dot) shown += ".";
    ProgressStep(shown.c_str(), nullptr, ++done_ == steps_);
    phase_ = (phase_ + 1) % 4;
  }

 private:
  int32_t steps_;
  int32_t done_ = 0;
  int32_t phase_ = 0;
};

// Lines of `group` numbers each; a partial last group is never written.
void WriteNumberLines(DimArray& list, const char* prefix, int32_t group, ObjProgress& progress,
                      const char* progressText) {
  StrValue line;
  int32_t k = 0;
  for (int32_t i = 0; i < ListCount(list); ++i) {
    const double value = ToolNumberAt(list, i);
    line = k == 0 ? StrValue(prefix) + value : line + " " + value;
    if (++k == group) {
      Line(line);
      k = 0;
    }
    progress.Step(progressText);
  }
}

// A face's material line comes before it only where the material changes.
void WriteFaces(ObjProgress& progress) {
  ToolState& g = ToolGlobals;
  for (int32_t j = 0; j < ListCount(g.ObjFaceLines); ++j) {
    const Str& material = ToolStringAt(g.ObjMaterialLines, j);
    if (j == 0 || !StrEquals(material, ToolStringAt(g.ObjMaterialLines, j - 1))) Line(material);
    Line(ToolStringAt(g.ObjFaceLines, j));
    progress.Step("Writing OBJ faces");
  }
}

void WriteMaterial(double index) {
  ToolState& g = ToolGlobals;
  const StrValue colour = StrValue(" ") + ToolNumberAt(g.PaletteRed, index) / 255 + " " +
                          ToolNumberAt(g.PaletteGreen, index) / 255 + " " +
                          ToolNumberAt(g.PaletteBlue, index) / 255;
  Line("");
  Line(StrValue("newmtl ") + MaterialName(index));
  Line(StrValue("Ka") + colour);
  Line(StrValue("Kd") + colour);
  Line("Ks 1 1 1");
  Line("d 1.0");
}

}  // namespace

StrValue MaterialName(double index) {
  return StrValue(index >= 10 ? "material" : "material0") + index;
}

double WriteObjFile() {
  ToolState& g = ToolGlobals;
  OpenFile(kObjChannel, g.OutputName + ".obj", 0);
  Line(kCreatedLine);
  Line(StrValue("mtllib ") + g.OutputName + ".mtl");
  Line("g mesh01");
  Line("#Vertexs");
  ObjProgress progress(ListCount(g.ObjPositions) + ListCount(g.ObjTexCoords) +
                       ListCount(g.ObjNormals) + ListCount(g.ObjFaceLines));
  WriteNumberLines(g.ObjPositions, "v ", 3, progress, "Writing OBJ vertices");
  Line(" ");
  Line("#Texture Coords.");
  WriteNumberLines(g.ObjTexCoords, "vt ", 2, progress, "Writing OBJ Texture Coords");
  Line(" ");
  Line("#Normals");
  WriteNumberLines(g.ObjNormals, "vn ", 3, progress, "Pretending to calculate OBJ normals");
  Line(" ");
  Line("#Faces");
  WriteFaces(progress);
  Line(kEndLine);
  CloseFile(kObjChannel);
  return 0;
}

double WriteMtlFile() {
  ToolState& g = ToolGlobals;
  const double count = g.PaletteCount;
  OpenFile(kObjChannel, g.OutputName + ".mtl", 0);
  Line(kCreatedLine);
  Line(StrValue("#Object - ") + g.OutputName);
  for (double i = 0; i <= count; ++i) WriteMaterial(i);
  Line(kEndLine);
  CloseFile(kObjChannel);
  return 0;
}
