#include "tray/ui_text.h"

#include <map>

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
constexpr int kTextChars = 512;

// Filled once at start, read only afterwards: both threads may read it without a lock.
std::map<uint32_t, WString> texts;
const WChar* chosenTag = u"en";

void Load(platform::InstanceHandle instance, uint16_t language, uint32_t id) {
  WChar text[kTextChars];
  if (platform::LoadResourceString(instance, id, language, text, kTextChars) > 0 ||
      (language != kEnglish && platform::LoadResourceString(instance, id, kEnglish, text, kTextChars) > 0)) {
    texts[id] = text;
  }
}

}  // namespace

uint16_t TextLanguageFor(uint16_t language) {
  for (const Translation& t : kTranslations)
    if ((language & 0x3FF) == t.primary) return t.language;
  return kEnglish;
}

uint16_t ChooseTextLanguage(platform::InstanceHandle instance, uint32_t first, uint32_t end) {
  uint16_t language = TextLanguageFor(platform::UserInterfaceLanguage());
  for (const Translation& t : kTranslations)
    if (t.language == language) chosenTag = t.tag;
  platform::SetResourceLanguage(language);
  texts.clear();
  for (uint32_t id = first; id < end; ++id) Load(instance, language, id);
  for (uint32_t id : kSoftKeyTexts) Load(instance, language, id);
  return language;
}

const WChar* UiText(uint32_t id) {
  auto it = texts.find(id);
  return it == texts.end() ? u"" : it->second.c_str();
}

const WChar* TextLanguageTag() {
  return chosenTag;
}
