// What the Wine tier's programs install before they run the window: the pictures and the help
// page copied from the repository into an install folder of the prefix.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "platform/files.h"
#include "platform/win32/testing/win32_test_support.h"

// Copies one file; a failure fails the test.
inline void CopyInto(const WString& from, const WString& to) {
  std::string bytes;
  ASSERT_TRUE(platform::FileReadAll(from.c_str(), bytes)) << ToUtf8(from);
  ASSERT_TRUE(platform::FileWriteAll(to.c_str(), bytes.data(), bytes.size())) << ToUtf8(to);
}

// The program built at `program` into `folder` as Ollendock.exe, with the translations built
// beside it, as the installer puts them.
inline void InstallProgram(const std::string& program, const WString& folder) {
  CopyInto(platform::win32test::WindowsPath(program), folder + u"\\Ollendock.exe");
  for (const char* language : {"0407", "040C", "0C0A", "0410", "0419", "0501"})
    CopyInto(platform::win32test::WindowsPath(program + "." + language + ".mui"),
             folder + u"\\Ollendock.exe." + FromUtf8(language) + u".mui");
}

// The pictures of `names` (from resources/images) into <folder>\images, and with `help` the help
// pages into <folder>\help.
inline void InstallContent(const WString& folder, const std::string& resources,
                           std::initializer_list<const char*> names, bool help) {
  platform::CreateFolder(folder.c_str());
  platform::CreateFolder((folder + u"\\images").c_str());
  for (const char* name : names)
    CopyInto(platform::win32test::WindowsPath(resources + "/images/" + name), folder + u"\\images\\" + FromUtf8(name));
  if (!help) return;
  platform::CreateFolder((folder + u"\\help").c_str());
  for (const char* page : {"help.html", "help_de.html", "help_fr.html", "help_es.html", "help_it.html", "help_ru.html"})
    CopyInto(platform::win32test::WindowsPath(resources + "/help/" + page), folder + u"\\help\\" + FromUtf8(page));
}

// The pictures the settings window draws.
#define QM_WINDOW_PICTURES \
  "t0s1_f12.jpg", "t0s2_f12.jpg", "t0ms_f1.jpg", "t0ms_f2.jpg", "cursors_f1.jpg", "cursors_f2.jpg"
// The settings window's and the pickers' pictures for a desk at 150 % and 200 %.
#define QM_DESK_SCALE_PICTURES                                                                                 \
  "t0s1_f3.jpg", "t0s2_f3.jpg", "t0ms_f3.jpg", "cursors_f3.jpg", "tva_f3.jpg", "tvf_f3.jpg", "morvane_f3.jpg", \
      "t0s1_f4.jpg", "t0s2_f4.jpg", "t0ms_f4.jpg", "cursors_f4.jpg", "tva_f4.jpg", "tvf_f4.jpg", "morvane_f4.jpg"
