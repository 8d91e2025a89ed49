// GlExtensionTable and the extension-name tests.
#include "frame/gl_extensions.h"

#include <cstring>
#include <iterator>
#include <string>

#include "frame/runtime_objects.h"
#include "platform/window.h"
#include "system/debug_log.h"

GlExtensionSlots GlExtensionTable = {};

namespace {

int SwapIntervalThroughPlatform(int interval) { return platform::SetSwapInterval(interval); }

template <typename Slot>
void Fetch(Slot& slot, const char* name) {
  slot = reinterpret_cast<Slot>(platform::GetProcAddress(name));
  if (!slot) LogMissingEntryPoint(name);
}

#define QRN_FETCH(slot) Fetch(GlExtensionTable.slot, #slot)

void LoadBufferAndMultitextureSlots() {
  QRN_FETCH(glActiveTextureARB);
  QRN_FETCH(glMultiTexCoord2fARB);
  QRN_FETCH(glClientActiveTextureARB);
  QRN_FETCH(glGenBuffersARB);
  QRN_FETCH(glBindBufferARB);
  QRN_FETCH(glBufferDataARB);
  QRN_FETCH(glDeleteBuffersARB);
  QRN_FETCH(glMapBufferARB);
  QRN_FETCH(glUnmapBufferARB);
  QRN_FETCH(glGetBufferParameterivARB);
}

void LoadShaderObjectSlots() {
  QRN_FETCH(glCreateProgramObjectARB);
  QRN_FETCH(glDeleteObjectARB);
  QRN_FETCH(glCreateShaderObjectARB);
  QRN_FETCH(glShaderSourceARB);
  QRN_FETCH(glCompileShaderARB);
  QRN_FETCH(glGetObjectParameterivARB);
  QRN_FETCH(glAttachObjectARB);
  QRN_FETCH(glGetInfoLogARB);
  QRN_FETCH(glLinkProgramARB);
  QRN_FETCH(glUseProgramObjectARB);
  QRN_FETCH(glGetUniformLocationARB);
  QRN_FETCH(glUniform1fARB);
  QRN_FETCH(glUniform1iARB);
  QRN_FETCH(glGetAttribLocationARB);
  QRN_FETCH(glVertexAttrib1fARB);
}

#undef QRN_FETCH

struct SlotName {
  const char* name;
  bool (*filled)();
};

#define QRN_SLOT(slot) {#slot, [] { return GlExtensionTable.slot != nullptr; }}

constexpr SlotName kSlotNames[] = {
    QRN_SLOT(wglSwapIntervalEXT),        QRN_SLOT(glActiveTextureARB),
    QRN_SLOT(glMultiTexCoord2fARB),      QRN_SLOT(glClientActiveTextureARB),
    QRN_SLOT(glGenBuffersARB),           QRN_SLOT(glBindBufferARB),
    QRN_SLOT(glBufferDataARB),           QRN_SLOT(glDeleteBuffersARB),
    QRN_SLOT(glMapBufferARB),            QRN_SLOT(glUnmapBufferARB),
    QRN_SLOT(glGetBufferParameterivARB), QRN_SLOT(glCreateProgramObjectARB),
    QRN_SLOT(glDeleteObjectARB),         QRN_SLOT(glCreateShaderObjectARB),
    QRN_SLOT(glShaderSourceARB),         QRN_SLOT(glCompileShaderARB),
    QRN_SLOT(glGetObjectParameterivARB), QRN_SLOT(glAttachObjectARB),
    QRN_SLOT(glGetInfoLogARB),           QRN_SLOT(glLinkProgramARB),
    QRN_SLOT(glUseProgramObjectARB),     QRN_SLOT(glGetUniformLocationARB),
    QRN_SLOT(glUniform1fARB),            QRN_SLOT(glUniform1iARB),
    QRN_SLOT(glGetAttribLocationARB),    QRN_SLOT(glVertexAttrib1fARB),
};
static_assert(std::size(kSlotNames) * sizeof(void*) == sizeof(GlExtensionSlots));

#undef QRN_SLOT

// The platform finds an address for any "gl" name under Mesa and for any name at all under
// GLX, so only the table's own names are answered from what the context really offers.
bool EntryPointAvailable(const char* name) {
  for (const SlotName& slot : kSlotNames) {
    if (std::strcmp(slot.name, name) == 0) return slot.filled();
  }
  return GraphicsContext != nullptr && std::strncmp(name, "gl", 2) == 0 &&
         platform::GetProcAddress(name) != nullptr;
}

}  // namespace

void LogMissingEntryPoint(const char* name) {
  std::string line = std::string("ext: ") + name;
  const size_t length = std::strlen(name);
  if (length < 35) line.append(35 - length, ' ');
  line += "   [FAILED]";
  ErrorLogWrite(line.c_str());
}

bool GlFunctionAvailable(const char* name) {
  if (EntryPointAvailable(name)) return true;
  LogMissingEntryPoint(name);
  return false;
}

void LoadGlExtensionTable(const char* extensionList) {
  if (std::strstr(extensionList, "WGL_EXT_swap_control")) {
    GlExtensionTable.wglSwapIntervalEXT = SwapIntervalThroughPlatform;
  }
  if (std::strstr(extensionList, "GL_ARB_multitexture")) LoadBufferAndMultitextureSlots();
  if (std::strstr(extensionList, "GL_ARB_fragment_program")) LoadShaderObjectSlots();
}

bool ExtensionListHas(const char* extensionList, const char* name) {
  if (!extensionList || !name || !*name) return false;
  const size_t length = std::strlen(name);
  for (const char* hit = std::strstr(extensionList, name); hit; hit = std::strstr(hit + 1, name)) {
    const bool starts = hit == extensionList || hit[-1] == ' ';
    const bool ends = hit[length] == '\0' || hit[length] == ' ';
    if (starts && ends) return true;
  }
  return false;
}

bool HasGlExtension(const char* name) {
  const std::string list = platform::ExtensionList();
  return !list.empty() && ExtensionListHas(list.c_str(), name);
}

int MultisampleSearch(int requested, const MultisampleProbe& probe) {
  for (int samples = requested; samples >= 1; samples >>= 1) {
    if (probe(samples)) return samples;
  }
  return 0;
}

int ChooseMultisampleFormat(int samples, const MultisampleProbe& probe) {
  if (!HasGlExtension("WGL_ARB_multisample")) return 0;
  return MultisampleSearch(samples, probe);
}
