// Shared set-up of the host unit tests: an empty registry, a fresh device root folder, the log off.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/files.h"
#include "platform/host/host_files.h"
#include "platform/host/host_registry.h"
#include "platform/host/host_resources.h"
#include "platform/host/host_system.h"
#include "settings/settings.h"
#include "string_tables.h"
#include "tray/app_state.h"
#include "tray/debug_log.h"
#include "tray/install_path.h"
#include "tray/ui_text.h"

class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::host::RegistryReset();
    root_ = std::filesystem::temp_directory_path() / ("qm-unit-" + std::to_string(::getpid()) + "-" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    platform::host::SetDeviceRoot(root_.string());
    platform::host::SetTimeOfDaySource({});
    platform::host::SetAvailableMemorySource({});
    // A clock that moves on 1 s at every reading, so that no memory reading is reused. Atomic,
    // since the log is written from several threads.
    auto clock = std::make_shared<std::atomic<uint64_t>>(0);
    platform::host::SetMonotonicSource([clock] { return *clock += 1000; });
    debugEnabled = 0;
    DebugLogResetBaseline();
    ResetInstallPathCache();
    // The executables' string tables, the texts chosen in English as a start on an English
    // platform chooses them.
    platform::host::ResourcesReset();
    string_tables::LoadIntoHost();
    platform::host::SetUserInterfaceLanguage(kEnglish);
    ChooseTextLanguage(nullptr, QM_TEXT_FIRST, QM_TEXT_END);
    LoadNameTables();
  }
  void TearDown() override {
    platform::host::SetUserInterfaceLanguage(kEnglish);
    debugEnabled = 0;
    platform::host::SetTimeOfDaySource({});
    platform::host::SetAvailableMemorySource({});
    platform::host::SetMonotonicSource({});
    std::filesystem::remove_all(root_);
  }

  // Loads `.reg` lines below the standard header.
  void LoadReg(const std::string& body) {
    std::string error;
    ASSERT_TRUE(platform::host::RegistryLoad("Windows Registry Editor Version 5.00\n\n" + body, &error)) << error;
  }
  std::string ReadDeviceFile(const WChar* path) {
    std::string out;
    platform::FileReadAll(path, out);
    return out;
  }

  std::filesystem::path root_;
};
