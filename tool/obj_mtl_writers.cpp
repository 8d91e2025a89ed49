// OBJ and MTL text, line by line, with the OBJ writer's progress steps.
#include "tool/obj_mtl_writers.h"

#include <string>
#include <vector>

#include "core/number_text.h"
#include "core/str_value.h"
#include "core/terminate.h"
#include "tool/output_file.h"
#include "tool/tool_globals.h"
#include "tool/tool_screen.h"

namespace {

constexpr const char* kCreatedLine = "#Created with tile2cube, a quarnel program";
constexpr const char* kEndLine = "#End of File";

std::string NumberText(double value) {
  char text[32];
  FormatNumberText(value, text);
  return text;
}

std::string MaterialLine(double index) {
  return (StrValue("usemtl ") + MaterialName(index)).c_str();
}

// The text of each distinct value of a list (never an empty text), made once.
class TextsByCode {
 public:
  using Maker = std::string (*)(double value);
  TextsByCode(const ObjNumberList& list, Maker make)
      : list_(list), make_(make), texts_(size_t(list.Distinct())) {}

  const std::string& Of(int32_t i) {
    const uint32_t code = list_.CodeAt(i);
    std::string& text = texts_[code];
    if (text.empty()) text = make_(list_.ValueOf(code));
    return text;
  }

 private:
  const ObjNumberList& list_;
  Maker make_;
  std::vector<std::string> texts_;
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
void WriteNumberLines(OutputFile& file, const ObjNumberList& list, const char* prefix,
                      int32_t group, ObjProgress& progress, const char* progressText) {
  TextsByCode texts(list, NumberText);
  std::string line;
  const int32_t count = list.Count();
  int32_t k = 0;
  for (int32_t i = 0; i < count; ++i) {
    line += k == 0 ? prefix : " ";
    line += texts.Of(i);
    if (++k == group) {
      file.Line(line);
      line.clear();
      k = 0;
    }
    progress.Step(progressText);
  }
}

std::string FaceLine(double firstVertex) {
  std::string line = "f ";
  for (double offset : {3, 2, 0, 1}) {
    if (offset != 3) line += ' ';
    const std::string number = NumberText(firstVertex + offset);
    ((((line += number) += '/') += number) += '/') += number;
  }
  return line;
}

// A face's material line comes before it only where the material line changes.
void WriteFaces(OutputFile& file, ObjProgress& progress) {
  const ToolState& g = ToolGlobals;
  const int32_t count = g.ObjFaceLines.Count();
  if (count == 0) return;
  if (g.ObjMaterialLines.Count() < count) FatalTerminate(9);  // a face without its material
  TextsByCode materials(g.ObjMaterialLines, MaterialLine);
  const std::string* previous = nullptr;
  for (int32_t j = 0; j < count; ++j) {
    const std::string& material = materials.Of(j);
    if (!previous || material != *previous) file.Line(material);
    previous = &material;
    file.Line(FaceLine(g.ObjFaceLines.FirstVertex(j)));
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
  return StrValue(index >= 10 ? "material" : "material0") + index;
}

double WriteObjFile() {
  ToolState& g = ToolGlobals;
  OutputFile file(g.OutputName + ".obj");
  file.Line(kCreatedLine);
  file.Line((StrValue("mtllib ") + g.OutputName + ".mtl").c_str());
  file.Line("g mesh01");
  file.Line("#Vertexs");
  ObjProgress progress(int64_t(g.ObjPositions.Count()) + g.ObjTexCoords.Count() +
                       g.ObjNormals.Count() + g.ObjFaceLines.Count());
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
