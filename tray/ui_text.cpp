#include "tray/ui_text.h"

#include "platform/resources.h"
#include "platform/system.h"

namespace {

struct Translation {
  uint16_t primary;  // the primary language, the low ten bits of a LANGID
  uint16_t language;
  const WChar* tag;
};
constexpr Translation kTranslations[] = {
    {0x09, kEnglish, u"en"},
    {0x07, 0x0407, u"de"},
    {0x0C, 0x040C, u"fr"},
    {0x0A, 0x0C0A, u"es"},
    {0x10, 0x0410, u"it"},
    {0x19, 0x0419, u"ru"},
    {0x101, kPseudoLanguage, u"qps"},
};
constexpr uint32_t kSoftKeyTexts[] = {QM_TEXT_OK, QM_TEXT_CANCEL, QM_TEXT_HIDE, QM_TEXT_CONNECT};
constexpr uint32_t kSoftKeys = sizeof kSoftKeyTexts / sizeof kSoftKeyTexts[0];

// The texts chosen at start, one after another, each ended by a zero, and where each begins (0,
// the pool's first zero, for a text no table has). The longest language, the pseudo-language,
// takes about 2,400 characters. Filled once at start, read only afterwards: both threads may read
// them without a lock.
constexpr uint32_t kSlots = 160;
constexpr uint32_t kPoolChars = 4096;
WChar pool[kPoolChars];
uint16_t where[kSlots];
uint32_t used = 1;
uint32_t firstId = 0, endId = 0;
const WChar* chosenTag = u"en";

// The slot of the text `id`: the range's texts in order, then the soft keys'; kSlots for none.
uint32_t SlotOf(uint32_t id) {
  if (id >= firstId && id < endId) return id - firstId;
  for (uint32_t k = 0; k < kSoftKeys; ++k)
    if (kSoftKeyTexts[k] == id) return endId - firstId + k;
  return kSlots;
}

// Reads the text into the pool's free end; its length, 0 when that table has none.
int Read(platform::InstanceHandle module, uint32_t id, uint16_t language) {
  return platform::LoadResourceString(module, id, language, pool + used, static_cast<int>(kPoolChars - used));
}

// Whether the module's own tables have a text of the range in that language.
bool Carries(platform::InstanceHandle instance, uint16_t language, uint32_t first, uint32_t end) {
  for (uint32_t id = first; id < end; ++id)
    if (Read(instance, id, language) > 0) return true;
  return false;
}

// The text in the translation, else in the module's own table in that language (the applet
// carries its few translated texts itself), else in English.
void Load(platform::InstanceHandle instance, platform::InstanceHandle translation, uint16_t language, uint32_t id) {
  uint32_t slot = SlotOf(id);
  if (slot >= kSlots) return;
  int length = translation ? Read(translation, id, language) : 0;
  if (length == 0 && language != kEnglish) length = Read(instance, id, language);
  if (length == 0) length = Read(instance, id, kEnglish);
  if (length == 0) return;
  where[slot] = static_cast<uint16_t>(used);
  used += static_cast<uint32_t>(length) + 1;
}

}  // namespace

uint16_t TextLanguageFor(uint16_t language) {
  for (const Translation& t : kTranslations)
    if ((language & 0x3FF) == t.primary) return t.language;
  return kEnglish;
}

uint16_t ChooseTextLanguage(platform::InstanceHandle instance, uint32_t first, uint32_t end) {
  uint16_t language = TextLanguageFor(platform::UserInterfaceLanguage());
  platform::InstanceHandle translation = nullptr;
  if (language != kEnglish) {
    translation = platform::OpenTranslation(instance, language);
    // Without its translation (a library not installed) the program speaks English throughout,
    // its help page too, rather than mixing the languages.
    if (!translation && !Carries(instance, language, first, end)) language = kEnglish;
  }
  chosenTag = u"en";
  for (const Translation& t : kTranslations)
    if (t.language == language) chosenTag = t.tag;
  platform::SetResourceLanguage(language, translation);
  pool[0] = 0;
  used = 1;
  for (uint16_t& w : where) w = 0;
  firstId = first;
  endId = end - first + kSoftKeys <= kSlots ? end : first + kSlots - kSoftKeys;
  for (uint32_t id = first; id < endId; ++id) Load(instance, translation, language, id);
  for (uint32_t id : kSoftKeyTexts) Load(instance, translation, language, id);
  return language;
}

const WChar* UiText(uint32_t id) {
  uint32_t slot = SlotOf(id);
  return slot < kSlots ? pool + where[slot] : u"";
}

const WChar* TextLanguageTag() {
  return chosenTag;
}
