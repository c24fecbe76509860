// What the Wine tier's programs install before they run the window, as the installer leaves it:
// the pictures and the help pages copied from the repository into an install folder of the
// prefix, the program with its translations, "InstallPath" naming the folder, the applet in the
// system's control-panel folder. Each suite says which of these it needs.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/libraries.h"
#include "platform/registry.h"
#include "platform/win32/testing/win32_test_support.h"
#include "tray/registry_access.h"

// Copies one file; a failure fails the test.
inline void CopyInto(const WString& from, const WString& to) {
  std::string bytes;
  ASSERT_TRUE(platform::FileReadAll(from.c_str(), bytes)) << ToUtf8(from);
  ASSERT_TRUE(platform::FileWriteAll(to.c_str(), bytes.data(), bytes.size())) << ToUtf8(to);
}

// What a suite installs into `folder`.
struct Installation {
  Installation(WString f, std::vector<const char*> p) : folder(std::move(f)), pictures(std::move(p)) {}
  WString folder;
  std::vector<const char*> pictures;  // from resources/images into <folder>\images
  bool help = false;                  // the help pages into <folder>\help
  std::string program;                // a built Ollendock.exe, with the translations built beside it
  bool installPath = false;           // "InstallPath" in the machine's program key names the folder
  std::string applet;                 // a built Ollenset.cpl, into the system's control-panel folder
};

// Installs what `what` names, the pictures and help pages from the repository's `resources`.
inline void Install(const Installation& what, const std::string& resources) {
  using platform::win32test::WindowsPath;
  const WString& folder = what.folder;
  platform::CreateFolder(folder.c_str());
  platform::CreateFolder((folder + u"\\images").c_str());
  for (const char* name : what.pictures)
    CopyInto(WindowsPath(resources + "/images/" + name), folder + u"\\images\\" + FromUtf8(name));
  if (what.help) {
    platform::CreateFolder((folder + u"\\help").c_str());
    for (const char* page :
         {"help.html", "help_de.html", "help_fr.html", "help_es.html", "help_it.html", "help_ru.html"})
      CopyInto(WindowsPath(resources + "/help/" + page), folder + u"\\help\\" + FromUtf8(page));
  }
  if (!what.program.empty()) {
    CopyInto(WindowsPath(what.program), folder + u"\\Ollendock.exe");
    for (const char* language : {"0407", "040C", "0C0A", "0410", "0419", "0501"})
      CopyInto(WindowsPath(what.program + "." + language + ".mui"),
               folder + u"\\Ollendock.exe." + FromUtf8(language) + u".mui");
  }
  if (what.installPath)
    RegWriteValue(kProgramKey, u"InstallPath", platform::kRegSz, folder.c_str(),
                  static_cast<uint32_t>((folder.size() + 1) * sizeof(WChar)));
  if (!what.applet.empty())
    CopyInto(WindowsPath(what.applet), WString(platform::ControlPanelFolder()) + u"\\Ollenset.cpl");
}

// The pictures the settings window draws.
#define QM_WINDOW_PICTURES \
  "t0s1_f12.jpg", "t0s2_f12.jpg", "t0ms_f1.jpg", "t0ms_f2.jpg", "cursors_f1.jpg", "cursors_f2.jpg"
// The pickers' pictures of the tree's strip.
#define QM_PICKER_PICTURES "tva_f1.jpg", "tva_f2.jpg", "tvf_f1.jpg", "tvf_f2.jpg"
// The settings window's and the pickers' pictures for a desk at 150 % and 200 %.
#define QM_DESK_SCALE_PICTURES                                                                                 \
  "t0s1_f3.jpg", "t0s2_f3.jpg", "t0ms_f3.jpg", "cursors_f3.jpg", "tva_f3.jpg", "tvf_f3.jpg", "morvane_f3.jpg", \
      "t0s1_f4.jpg", "t0s2_f4.jpg", "t0ms_f4.jpg", "cursors_f4.jpg", "tva_f4.jpg", "tvf_f4.jpg", "morvane_f4.jpg"
