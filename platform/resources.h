// Resources of the running program's own executable.
#pragma once

#include <cstdint>
#include <string>

#include "platform/handles.h"
#include "platform/text.h"

namespace platform {

// A resource type or name given by number instead of text, as the resource script numbers it.
inline const WChar* ResourceId(uint16_t id) {
  return reinterpret_cast<const WChar*>(static_cast<uintptr_t>(id));
}

// Copies the bytes of the resource `name` of type `type` (each text or ResourceId). False when
// the executable has no such resource.
bool LoadModuleResource(const WChar* type, const WChar* name, std::string& bytes);

// String `id` of the module `instance` in exactly the language `language` (a LANGID) into `chars`
// characters, terminated; the characters copied, 0 when that language has no such string or it is
// empty (the buffer then holds an empty text).
int LoadResourceString(InstanceHandle instance, uint32_t id, uint16_t language, WChar* buffer, int chars);

// The translation of the module `instance` into `language` (a LANGID): the resource-only library
// "<module's file>.<LANGID as four hex digits>.mui" beside it (such as "Ollendock.exe.0407.mui"),
// mapped as data, so that none of it runs, and kept for the program's life. Null when there is none.
InstanceHandle OpenTranslation(InstanceHandle instance, uint16_t language);

// The language the program shows its texts in (a LANGID) and the translation its texts come from
// (null for the module's own): what the platform builds from the program's resources by itself
// (the soft-key bars) takes them too. English (0x0409) from the module until set.
void SetResourceLanguage(uint16_t language, InstanceHandle translation);
uint16_t ResourceLanguage();
InstanceHandle ResourceTranslation();

}  // namespace platform
