// The texts a user reads: from the program's own string tables, in the user's interface language.
#pragma once

#include <cstdint>

#include "platform/handles.h"
#include "platform/text.h"
#include "resources/text_ids.h"

inline constexpr uint16_t kEnglish = 0x0409;
// The platform's pseudo-locale (qps-ploc): every text longer, accented and bracketed, for tests.
inline constexpr uint16_t kPseudoLanguage = 0x0501;

// The language of the string tables for the platform's interface language `language`: the
// translation of its primary language, the pseudo-language, or English for any other.
uint16_t TextLanguageFor(uint16_t language);

// Reads the platform's interface language and loads the texts numbered `first` up to `end` and
// the soft keys' of `instance` in that language's translation, English for a text it lacks, and
// makes that language the resource language. Called once at start, before any other thread
// reads a text. Returns the language chosen.
uint16_t ChooseTextLanguage(platform::InstanceHandle instance, uint32_t first, uint32_t end);

// The text `id` as chosen at start; an empty text only for a number no table has.
const WChar* UiText(uint32_t id);

// The chosen language's short name ("en", "de", "fr", "es", "it", "ru", "qps").
const WChar* TextLanguageTag();
