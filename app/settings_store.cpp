#include "app/settings_store.h"

#include <windows.h>

#include "app/owned.h"
#include "app/texts.h"
#include "support/command_line.h"
#include "support/wide_text.h"

namespace {

DWORD WINAPI OwnFileName(wchar_t* buffer, DWORD size) { return GetModuleFileNameW(nullptr, buffer, size); }

}  // namespace

SettingsPlatform settingsPlatform = {OwnFileName};

namespace {

// Every registry name the program uses, once; paths are joined from these.
const char kSeparator[] = "\\";
const char kSoftwareKey[] = "SOFTWARE";
const char kVerbParentKey[] = "SOFTWARE\\Classes\\lnkfile";
const char kShellKey[] = "shell";
const char kCommandKey[] = "command";
const char kMakerName[] = "vek";
const char kValueNormal[] = "normal";
const char kValueExplore[] = "explore";
const char kValueSelect[] = "select";
const wchar_t kMenuTextValue[] = L"MUIVerb";
// The options live under SOFTWARE\vek\Tarvo, named after the program.
const char* const kMakerKeyPieces[] = {kSoftwareKey, kSeparator, kMakerName};
const char* const kSettingsKeyPieces[] = {kSoftwareKey, kSeparator, kMakerName, kSeparator, kAppName};
const DWORD kModulePathBuffer = MAX_PATH + 1;

struct Verb {
  const char* keyName;
  unsigned textId;
  const wchar_t* mode;
};

const Verb kNormalVerb = {"Tarvo", TEXT_OPEN_TARGET, L"0"};
const Verb kExploreVerb = {"Tarvo_e", TEXT_OPEN_IN_EXPLORER, L"1"};

void CloseKey(HKEY__* key) { RegCloseKey(key); }
using RegKey = Owned<HKEY__, CloseKey>;

bool CreateSubKey(HKEY parent, const char* name, RegKey* key) {
  char noClass[] = "";
  return RegCreateKeyExA(parent, name, 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                         key->out(), nullptr) == ERROR_SUCCESS;
}

bool SetDefaultText(HKEY key, const char* text) {
  return RegSetValueA(key, "", REG_SZ, text, LengthZ(text)) == ERROR_SUCCESS;
}

bool SetWideText(HKEY key, const wchar_t* name, const wchar_t* text) {
  DWORD bytes = (lstrlenW(text) + 1) * sizeof(wchar_t);
  return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes) ==
         ERROR_SUCCESS;
}

// The default value, in UTF-16, is the Japanese text for readers that know no
// MUIVerb. MUIVerb names the text in this exe's string tables, which Explorer
// reads in each user's own display language: one machine-wide entry serves
// users of different languages.
bool SetMenuText(HKEY key, unsigned textId, const wchar_t* programPath) {
  if (!SetWideText(key, L"", WideText(JapaneseText(textId).c_str()).c_str())) return false;
  wchar_t reference[kModulePathBuffer + 16];
  wsprintfW(reference, L"@%s,-%u", programPath, textId);
  return SetWideText(key, kMenuTextValue, reference);
}

// A key that is already gone is what was asked for.
bool DeleteKey(HKEY root, const char* path) {
  LONG result = RegDeleteKeyA(root, path);
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

// For a key other programs may share: it goes only when it holds neither keys
// nor values (RegDeleteKeyA alone would take values with it).
void DeleteKeyIfEmpty(HKEY root, const char* path) {
  DWORD subKeys = 1;
  DWORD values = 1;
  {
    RegKey key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return;
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                         &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return;
  }
  if (subKeys == 0 && values == 0) RegDeleteKeyA(root, path);
}

// Only a REG_DWORD of 1 is on: four bytes of 1 in a value of another type were
// not written by this program.
bool ReadFlag(HKEY key, const char* name) {
  DWORD type = REG_NONE;
  DWORD value = 0;
  DWORD size = sizeof value;
  LONG result =
      RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  return result == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value && value == 1;
}

bool WriteFlag(HKEY key, const char* name, bool on) {
  DWORD value = on ? 1 : 0;
  return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        sizeof value) == ERROR_SUCCESS;
}

// "<program>" "%1" "<mode>": Explorer puts the shortcut's path in place of %1.
// A program path that code page 932 spells exactly is written as those bytes;
// any other goes in as wide text, or the verb would start nothing.
bool SetCommandLine(HKEY key, const wchar_t* programPath, const wchar_t* mode) {
  wchar_t line[kModulePathBuffer + 16];
  lstrcpyW(line, L"\"");
  lstrcatW(line, programPath);
  lstrcatW(line, L"\" \"%1\" \"");
  lstrcatW(line, mode);
  lstrcatW(line, L"\"");
  ByteString ansi;
  if (ToAnsiExact(line, &ansi)) return SetDefaultText(key, ansi.c_str());
  return SetWideText(key, L"", line);
}

// The machine's lnkfile key belongs to the system and is only opened; a user's
// own classes may not have one yet.
bool OpenVerbParent(HKEY root, RegKey* parent) {
  if (root != HKEY_LOCAL_MACHINE) return CreateSubKey(root, kVerbParentKey, parent);
  return RegOpenKeyExA(root, kVerbParentKey, 0, KEY_ALL_ACCESS, parent->out()) == ERROR_SUCCESS;
}

// The same keys and values machine-wide and in the user's own classes. Each
// chain stops at the first failure, so nothing is ever created anywhere but in
// the places of the layout.
bool WriteVerb(HKEY root, const Verb& verb, const wchar_t* programPath) {
  RegKey parent, shell, verbKey, command;
  if (!OpenVerbParent(root, &parent)) return false;
  if (!CreateSubKey(parent.get(), kShellKey, &shell)) return false;
  if (!CreateSubKey(shell.get(), verb.keyName, &verbKey)) return false;
  if (!SetMenuText(verbKey.get(), verb.textId, programPath)) return false;
  if (!CreateSubKey(verbKey.get(), kCommandKey, &command)) return false;
  return SetCommandLine(command.get(), programPath, verb.mode);
}

// The command key first: RegDeleteKeyA takes no key that still has subkeys.
bool DeleteVerb(HKEY root, const Verb& verb) {
  const char* verbPieces[] = {kVerbParentKey, kSeparator, kShellKey, kSeparator, verb.keyName};
  ByteString verbKey = ByteString::Join(verbPieces);
  const char* commandPieces[] = {verbKey.c_str(), kSeparator, kCommandKey};
  bool commandGone = DeleteKey(root, ByteString::Join(commandPieces).c_str());
  return DeleteKey(root, verbKey.c_str()) && commandGone;
}

// Explorer reads the user's classes before the machine's: a machine-wide entry
// takes effect for this user only once their own older copy (which may name a
// program since moved) is gone. Where machine-wide is refused, the user's own
// copy takes effect for them alone.
bool AddVerb(const Verb& verb, const wchar_t* programPath) {
  if (WriteVerb(HKEY_LOCAL_MACHINE, verb, programPath)) return DeleteVerb(HKEY_CURRENT_USER, verb);
  return WriteVerb(HKEY_CURRENT_USER, verb, programPath);
}

bool RemoveVerb(const Verb& verb) {
  bool userCopyGone = DeleteVerb(HKEY_CURRENT_USER, verb);
  return DeleteVerb(HKEY_LOCAL_MACHINE, verb) && userCopyGone;
}

// The user's own classes are left as they were before once no entry of ours
// is in them; the machine's lnkfile\shell stays, as it always has.
void TidyUserClasses() {
  const char* shellPieces[] = {kVerbParentKey, kSeparator, kShellKey};
  DeleteKeyIfEmpty(HKEY_CURRENT_USER, ByteString::Join(shellPieces).c_str());
  DeleteKeyIfEmpty(HKEY_CURRENT_USER, kVerbParentKey);
}

bool WriteOptions(const AppSettings& settings) {
  if (!settings.normal && !settings.explore) {
    // Without verbs nothing is kept, the "select" option included.
    bool gone = DeleteKey(HKEY_CURRENT_USER, ByteString::Join(kSettingsKeyPieces).c_str());
    DeleteKeyIfEmpty(HKEY_CURRENT_USER, ByteString::Join(kMakerKeyPieces).c_str());
    return gone;
  }
  RegKey software, maker, program;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSoftwareKey, 0, KEY_ALL_ACCESS, software.out()) !=
      ERROR_SUCCESS)
    return false;
  if (!CreateSubKey(software.get(), kMakerName, &maker)) return false;
  if (!CreateSubKey(maker.get(), kAppName, &program)) return false;
  bool ok = WriteFlag(program.get(), kValueNormal, settings.normal);
  ok = WriteFlag(program.get(), kValueExplore, settings.explore) && ok;
  return WriteFlag(program.get(), kValueSelect, settings.select) && ok;
}

}  // namespace

AppSettings ReadSettings() {
  AppSettings settings = {false, false, false};
  RegKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, ByteString::Join(kSettingsKeyPieces).c_str(), 0, KEY_READ,
                    key.out()) != ERROR_SUCCESS)
    return settings;
  settings.normal = ReadFlag(key.get(), kValueNormal);
  settings.explore = ReadFlag(key.get(), kValueExplore);
  settings.select = ReadFlag(key.get(), kValueSelect);
  return settings;
}

unsigned WriteSettings(const AppSettings& settings) {
  unsigned failures = 0;
  wchar_t programPath[kModulePathBuffer] = {};
  if (settings.normal || settings.explore) {
    DWORD length = settingsPlatform.moduleFileName(programPath, kModulePathBuffer);
    // A full buffer means the path was cut: its command would start nothing.
    if (length == 0 || length >= kModulePathBuffer) failures |= kProgramPathUnusable;
  }
  bool pathUsable = !(failures & kProgramPathUnusable);

  // Each part stands on its own: a failure in one does not keep the others back.
  if (settings.normal ? !(pathUsable && AddVerb(kNormalVerb, programPath))
                      : !RemoveVerb(kNormalVerb))
    failures |= kNormalVerbFailed;
  if (settings.explore ? !(pathUsable && AddVerb(kExploreVerb, programPath))
                       : !RemoveVerb(kExploreVerb))
    failures |= kExploreVerbFailed;
  TidyUserClasses();
  if (!WriteOptions(settings)) failures |= kOptionsFailed;
  return failures;
}
