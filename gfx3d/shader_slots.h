// GLSL programs in the scene's 255 shader slots, through the ARB shader objects: loading a slot
// from a vertex and a fragment source file, making a slot current, and setting uniforms and
// attributes by name. Failures are told only through the print callback (which may be null).
#pragma once

#include <cstdint>

class Rainbows3D;

using ShaderPrint = void (*)(const char* text);

// False for a slot outside 0 .. 254, without shader support (told once per run), or when the
// program did not link. A null or empty name skips that stage; a file that cannot be read skips
// it silently. Loading again deletes the slot's old objects first.
bool LoadShaderSlot(Rainbows3D& scene, int32_t slot, const char* vertexFile,
                    const char* fragmentFile, ShaderPrint print);
// The compile (or link) status of a shader (or program) object; on failure its log is printed.
bool CheckShaderStatus(uint32_t object, bool isCompile, ShaderPrint print);
// Slots 0 .. 254 become current; any other number returns to the fixed pipeline.
void UseShaderSlot(Rainbows3D& scene, int32_t slot);
// Each acts only while a slot is current; an unknown name prints "undefined uniform:" (or
// "undefined attrib:") and then the name.
void SetShaderUniform(Rainbows3D& scene, const char* name, float value, ShaderPrint print);
void SetShaderUniformInt(Rainbows3D& scene, const char* name, int32_t value, ShaderPrint print);
void SetShaderAttrib(Rainbows3D& scene, const char* name, float value, ShaderPrint print);

// Lets the "No OpenGL 2.0 Shader Support" message be told again (it is told once per run).
void ResetShaderSupportMessage();
