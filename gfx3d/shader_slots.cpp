// Shader slots through the ARB shader-object entry points of the extension table.
#include "gfx3d/shader_slots.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <vector>

#include "frame/gl_extensions.h"
#include "gfx3d/scene.h"
#include "system/file_stream.h"

namespace {

bool supportMessageDue = true;

void Print(ShaderPrint print, const char* text) {
  if (print) print(text);
}

bool HasShaderSupport() {
  const GlExtensionSlots& gl = GlExtensionTable;
  return gl.glCreateShaderObjectARB && gl.glCompileShaderARB && gl.glLinkProgramARB;
}

// The whole file with a NUL after it, since the source goes to GL without a length; empty when
// it cannot be read.
std::vector<char> ReadSource(const char* name) {
  FileStream stream;
  if (!FileStreamOpen(stream, name) || stream.size >= INT32_MAX) return {};
  std::vector<char> source(size_t(stream.size) + 1, '\0');
  if (!FileStreamReadExact(stream, source.data(), int32_t(stream.size))) return {};
  return source;
}

// Compiles one stage into `object`; true when it compiled. A stage without a file leaves the
// last result as it was.
void CompileStage(const char* name, GLenum type, uint32_t& object, bool& compiled,
                  const char* failure, ShaderPrint print) {
  if (!name || !*name) return;
  const std::vector<char> source = ReadSource(name);
  if (source.empty()) return;
  const GlExtensionSlots& gl = GlExtensionTable;
  object = gl.glCreateShaderObjectARB(type);
  const GLcharARB* text = source.data();
  gl.glShaderSourceARB(object, 1, &text, nullptr);
  gl.glCompileShaderARB(object);
  compiled = CheckShaderStatus(object, true, print);
  if (!compiled) Print(print, failure);
}

bool LinkSlot(ShaderSlot& slot, ShaderPrint print) {
  const GlExtensionSlots& gl = GlExtensionTable;
  slot.program = gl.glCreateProgramObjectARB();
  for (uint32_t object : {slot.vertexShader, slot.fragmentShader}) {
    if (object != 0) gl.glAttachObjectARB(slot.program, object);
  }
  gl.glLinkProgramARB(slot.program);
  if (CheckShaderStatus(slot.program, false, print)) return true;
  Print(print, "link shader failed");
  return false;
}

// The current slot's program, or 0 when no slot 0 .. 254 is current.
uint32_t CurrentProgram(const Rainbows3D& scene) {
  const int32_t slot = scene.currentShaderSlot;
  if (slot < 0 || slot >= kShaderSlots) return 0;
  return scene.shaderSlots[slot].program;
}

bool SlotCurrent(const Rainbows3D& scene) {
  return scene.currentShaderSlot >= 0 && scene.currentShaderSlot < kShaderSlots;
}

void ReportUndefined(ShaderPrint print, const char* what, const char* name) {
  if (!print) return;
  print(what);
  print(name);
}

}  // namespace

void ResetShaderSupportMessage() {
  supportMessageDue = true;
}

bool LoadShaderSlot(Rainbows3D& scene, int32_t slot, const char* vertexFile,
                    const char* fragmentFile, ShaderPrint print) {
  if (slot < 0 || slot >= kShaderSlots) return false;
  if (!HasShaderSupport()) {
    if (print && supportMessageDue) {
      print("No OpenGL 2.0 Shader Support");
      supportMessageDue = false;
    }
    return false;
  }
  DeleteShaderSlot(scene, slot);
  ShaderSlot& record = scene.shaderSlots[slot];
  bool compiled = false;
  CompileStage(vertexFile, GL_VERTEX_SHADER_ARB, record.vertexShader, compiled,
               "vertex shader failed", print);
  CompileStage(fragmentFile, GL_FRAGMENT_SHADER_ARB, record.fragmentShader, compiled,
               "fragment shader failed", print);
  if (!compiled || (record.vertexShader == 0 && record.fragmentShader == 0)) return false;
  return LinkSlot(record, print);
}

bool CheckShaderStatus(uint32_t object, bool isCompile, ShaderPrint print) {
  const GlExtensionSlots& gl = GlExtensionTable;
  GLint status = 0;
  gl.glGetObjectParameterivARB(
      object, isCompile ? GL_OBJECT_COMPILE_STATUS_ARB : GL_OBJECT_LINK_STATUS_ARB, &status);
  if (status != 0) return true;
  if (!print) return false;
  GLint length = 0;
  gl.glGetObjectParameterivARB(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
  std::vector<GLcharARB> log(size_t(length > 0 ? length : 0) + 1, '\0');
  gl.glGetInfoLogARB(object, length, nullptr, log.data());
  print(log.data());
  return false;
}

void UseShaderSlot(Rainbows3D& scene, int32_t slot) {
  if (!GlExtensionTable.glUseProgramObjectARB) return;
  if (slot >= 0 && slot < kShaderSlots) {
    scene.currentShaderSlot = slot;
    GlExtensionTable.glUseProgramObjectARB(scene.shaderSlots[slot].program);
  } else {
    GlExtensionTable.glUseProgramObjectARB(0);
    scene.currentShaderSlot = -1;
  }
}

void SetShaderUniform(Rainbows3D& scene, const char* name, float value, ShaderPrint print) {
  const GlExtensionSlots& gl = GlExtensionTable;
  if (!gl.glGetUniformLocationARB || !gl.glUniform1fARB || !SlotCurrent(scene)) return;
  const GLint location = gl.glGetUniformLocationARB(CurrentProgram(scene), name);
  if (location == -1) return ReportUndefined(print, "undefined uniform:", name);
  gl.glUniform1fARB(location, value);
}

void SetShaderUniformInt(Rainbows3D& scene, const char* name, int32_t value, ShaderPrint print) {
  const GlExtensionSlots& gl = GlExtensionTable;
  if (!gl.glGetUniformLocationARB || !gl.glUniform1iARB || !SlotCurrent(scene)) return;
  const GLint location = gl.glGetUniformLocationARB(CurrentProgram(scene), name);
  if (location == -1) return ReportUndefined(print, "undefined uniform:", name);
  gl.glUniform1iARB(location, value);
}

void SetShaderAttrib(Rainbows3D& scene, const char* name, float value, ShaderPrint print) {
  const GlExtensionSlots& gl = GlExtensionTable;
  if (!gl.glGetAttribLocationARB || !gl.glVertexAttrib1fARB || !SlotCurrent(scene)) return;
  const GLint index = gl.glGetAttribLocationARB(CurrentProgram(scene), name);
  if (index == -1) return ReportUndefined(print, "undefined attrib:", name);
  gl.glVertexAttrib1fARB(GLuint(index), value);
}
