#include "tools/qmtrust/access_rules.h"

// After windows.h, which it needs.
#include <sddl.h>

namespace qmtrust {
namespace {

PSID Sid(const wchar_t* text) {
  PSID sid = nullptr;
  return ConvertStringSidToSidW(text, &sid) ? sid : nullptr;
}

bool AnyEqual(PSID sid, const std::vector<PSID>& list) {
  for (PSID s : list)
    if (s && EqualSid(sid, s)) return true;
  return false;
}

// The accounts that may own and write an install folder.
std::vector<PSID> Administrators(PSID installer) {
  std::vector<PSID> out = {Sid(L"BA"), Sid(L"SY"),
                           Sid(L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464")};
  if (installer && IsValidSid(installer)) {
    DWORD n = GetLengthSid(installer);
    PSID copy = LocalAlloc(LMEM_FIXED, n);
    if (copy && CopySid(n, copy, installer)) out.push_back(copy);
  }
  return out;
}

}  // namespace

GENERIC_MAPPING FileMapping() {
  return {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
}

GENERIC_MAPPING KeyMapping() {
  return {KEY_READ, KEY_WRITE, KEY_EXECUTE, KEY_ALL_ACCESS};
}

DWORD EffectiveRights(PACL dacl, const std::vector<PSID>& who, const GENERIC_MAPPING& mapping) {
  if (!dacl) return mapping.GenericAll;
  DWORD granted = 0, denied = 0;
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    ACE_HEADER* ace = nullptr;
    if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace))) continue;
    if (ace->AceFlags & INHERIT_ONLY_ACE) continue;
    if (ace->AceType != ACCESS_ALLOWED_ACE_TYPE && ace->AceType != ACCESS_DENIED_ACE_TYPE) continue;
    // Both kinds have the same layout: header, mask, the account.
    auto* entry = reinterpret_cast<ACCESS_ALLOWED_ACE*>(ace);
    if (!AnyEqual(&entry->SidStart, who)) continue;
    DWORD mask = entry->Mask;
    MapGenericMask(&mask, const_cast<GENERIC_MAPPING*>(&mapping));
    if (ace->AceType == ACCESS_ALLOWED_ACE_TYPE)
      granted |= mask & ~denied;
    else
      denied |= mask & ~granted;
  }
  return granted;
}

std::vector<PSID> StandardUser() {
  return {Sid(L"WD"), Sid(L"BU"), Sid(L"AU"), Sid(L"IU"), Sid(L"S-1-2-0"), Sid(L"S-1-5-15")};
}

void FreeSids(std::vector<PSID>& sids) {
  for (PSID s : sids) LocalFree(s);
  sids.clear();
}

bool FolderTrusted(PSECURITY_DESCRIPTOR sd, PSID installer) {
  if (!sd) return false;
  std::vector<PSID> admins = Administrators(installer);
  PSID owner = nullptr;
  BOOL defaulted = FALSE, present = FALSE;
  PACL dacl = nullptr;
  bool ok = GetSecurityDescriptorOwner(sd, &owner, &defaulted) && owner && AnyEqual(owner, admins) &&
            GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted) && present && dacl;
  GENERIC_MAPPING mapping = FileMapping();
  for (DWORD i = 0; ok && i < dacl->AceCount; ++i) {
    ACE_HEADER* ace = nullptr;
    if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace))) continue;
    if ((ace->AceFlags & INHERIT_ONLY_ACE) || ace->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    auto* entry = reinterpret_cast<ACCESS_ALLOWED_ACE*>(ace);
    DWORD mask = entry->Mask;
    MapGenericMask(&mask, &mapping);
    // An allowing entry of any other account (or any other kind of grant, which may carry an
    // account too) that lets it write: the folder is not the administrators' alone.
    if ((mask & kFolderWriteRights) && !AnyEqual(&entry->SidStart, admins)) ok = false;
  }
  // Allowing entries of other kinds (object, callback) name accounts too: any that writes fails.
  for (DWORD i = 0; ok && i < dacl->AceCount; ++i) {
    ACE_HEADER* ace = nullptr;
    if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace))) continue;
    if (ace->AceFlags & INHERIT_ONLY_ACE) continue;
    bool otherGrant = ace->AceType != ACCESS_ALLOWED_ACE_TYPE && ace->AceType != ACCESS_DENIED_ACE_TYPE &&
                      ace->AceType != SYSTEM_AUDIT_ACE_TYPE && ace->AceType != SYSTEM_ALARM_ACE_TYPE;
    if (otherGrant) ok = false;
  }
  FreeSids(admins);
  return ok;
}

}  // namespace qmtrust
