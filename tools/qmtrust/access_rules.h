// Access rules of the installer, read as Windows enforces them: who may write an object, and
// whether a folder is one only the system's administrators could have made and can change.
#pragma once

#include <windows.h>

#include <vector>

namespace qmtrust {

// The rights `who` (any of the accounts and groups, as one person's token holds them) have by the
// access list: its entries in order, denials before later grants, inherit-only entries skipped,
// generic rights mapped by `mapping`. A null list gives every right.
DWORD EffectiveRights(PACL dacl, const std::vector<PSID>& who, const GENERIC_MAPPING& mapping);

// The rights that change a folder or what it holds: add files or folders, delete them, write
// attributes, change the list or the owner.
constexpr DWORD kFolderWriteRights = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_WRITE_EA | FILE_DELETE_CHILD |
                                     FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC | WRITE_OWNER;
// The rights that change a registry key: set values, make subkeys or links, delete, change the
// list or the owner.
constexpr DWORD kKeyWriteRights =
    KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE | WRITE_DAC | WRITE_OWNER;

GENERIC_MAPPING FileMapping();
GENERIC_MAPPING KeyMapping();

// The accounts and groups every signed-in standard user holds: Everyone, Users, Authenticated
// Users, Interactive, Local and This Organization. Owned by the caller (FreeSids).
std::vector<PSID> StandardUser();
void FreeSids(std::vector<PSID>& sids);

// True when a folder with this security is the administrators' alone: its owner is
// Administrators, SYSTEM, TrustedInstaller or `installer` (the account installing, itself an
// administrator: no other account can make an object another account owns), and its list lets
// no other account write to it.
bool FolderTrusted(PSECURITY_DESCRIPTOR sd, PSID installer);

}  // namespace qmtrust
