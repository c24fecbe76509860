#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>

#include <string>

#include "tools/qmtrust/access_rules.h"

namespace {

PSECURITY_DESCRIPTOR Security(const wchar_t* sddl) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &sd, nullptr)) << sddl;
  return sd;
}

std::string Narrow(const wchar_t* s) {
  std::string out;
  for (; *s; ++s) out += static_cast<char>(*s);
  return out;
}

// Which folders the installer takes from the registry, and deletes from: the owner and every
// grant that is in force count, inherited ones too.
TEST(AccessRules, FolderIsTheAdministratorsAlone) {
  const wchar_t* installer = L"S-1-5-21-1-2-3-500";
  struct Row {
    const wchar_t* sddl;
    bool trusted;
  } rows[] = {
      {L"O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)", true},  // as the installer leaves it
      {L"O:SYD:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICIIO;GA;;;CO)(A;OICI;0x1200a9;;;BU)", true},  // Program Files
      {L"O:S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464D:(A;;FA;;;SY)", true},  // TrustedInstaller
      {L"O:S-1-5-21-1-2-3-500D:(A;OICI;FA;;;S-1-5-21-1-2-3-500)(A;OICI;FA;;;SY)", true},  // the installing admin
      {L"O:S-1-5-21-1-2-3-1001D:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", false},                // a user's own folder
      {L"O:BAD:(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)", false},                           // users may change it
      {L"O:BAD:(A;OICI;FA;;;BA)(A;OICIID;FA;;;AU)", false},                               // an inherited grant
      {L"O:BAD:(A;OICI;FA;;;BA)(A;;GW;;;WD)", false},                       // a generic write for everyone
      {L"O:BAD:(A;OICI;FA;;;BA)(A;;FA;;;S-1-5-21-1-2-3-1001)", false},      // one other user
      {L"O:BAD:(D;;FA;;;BU)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;WD)", true},  // a denial, read for all
  };
  PSID admin = nullptr;
  ASSERT_TRUE(ConvertStringSidToSidW(installer, &admin));
  for (const Row& r : rows) {
    SCOPED_TRACE(Narrow(r.sddl));
    PSECURITY_DESCRIPTOR sd = Security(r.sddl);
    EXPECT_EQ(qmtrust::FolderTrusted(sd, admin), r.trusted);
    LocalFree(sd);
  }
  // No list at all: everyone may do everything.
  SECURITY_DESCRIPTOR open;
  ASSERT_TRUE(InitializeSecurityDescriptor(&open, SECURITY_DESCRIPTOR_REVISION));
  ASSERT_TRUE(SetSecurityDescriptorOwner(&open, admin, FALSE));
  ASSERT_TRUE(SetSecurityDescriptorDacl(&open, TRUE, nullptr, FALSE));
  EXPECT_FALSE(qmtrust::FolderTrusted(&open, admin));
  std::vector<PSID> user = qmtrust::StandardUser();
  EXPECT_EQ(qmtrust::EffectiveRights(nullptr, user, qmtrust::KeyMapping()) & qmtrust::kKeyWriteRights,
            qmtrust::kKeyWriteRights);
  qmtrust::FreeSids(user);
  LocalFree(admin);
}

// What a standard user may do by a key's whole list: any grant in force to a group every user
// holds counts, inherited or not; one that only passes to subkeys does not.
TEST(AccessRules, StandardUsersEffectiveRightsOnAKey) {
  struct Row {
    const wchar_t* sddl;
    bool writes;
  } rows[] = {
      {L"D:PAI(A;CI;KA;;;SY)(A;CI;KA;;;BA)(A;CI;KR;;;BU)", false},
      {L"D:(A;CI;KA;;;SY)(A;CI;KA;;;BA)(A;CI;KRKW;;;BU)", true},  // an older installation's
      {L"D:(A;CI;KA;;;BA)(A;CIID;KA;;;BU)", true},                // inherited from the parent
      {L"D:(A;CI;KA;;;BA)(A;;0x2;;;AU)", true},                   // set a value, for every signed-in user
      {L"D:(A;CI;KA;;;BA)(A;CIIO;KA;;;BU)", false},               // for subkeys only
      {L"D:(D;;KA;;;WD)(A;;KA;;;BU)", false},                     // denied first
      {L"D:(D;;KW;;;WD)(A;;KA;;;BU)", true},                      // values and subkeys denied, not deleting
  };
  std::vector<PSID> user = qmtrust::StandardUser();
  for (const Row& r : rows) {
    SCOPED_TRACE(Narrow(r.sddl));
    PSECURITY_DESCRIPTOR sd = Security(r.sddl);
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted));
    DWORD rights = qmtrust::EffectiveRights(present ? dacl : nullptr, user, qmtrust::KeyMapping());
    EXPECT_EQ((rights & qmtrust::kKeyWriteRights) != 0, r.writes) << std::hex << rights;
    LocalFree(sd);
  }
  qmtrust::FreeSids(user);
}

}  // namespace
