#include "app/settings_store.h"

#include <windows.h>

#include "support/command_line.h"

SettingsPlatform settingsPlatform = {ModuleFilePath};

const char kNormalMenuText[] =
    "\x83\x8A\x83\x93\x83\x4E\x90\xE6\x82\xF0\x8A\x4A\x82\xAD";  // リンク先を開く
const char kExploreMenuText[] =
    "\x83\x8A\x83\x93\x83\x4E\x90\xE6\x82\xF0\x83\x47\x83\x4E\x83\x58\x83\x76\x83\x8D\x81\x5B"
    "\x83\x89\x82\xC5\x8A\x4A\x82\xAD";  // リンク先をエクスプローラで開く

namespace {

const char kVerbParentKey[] = "SOFTWARE\\Classes\\lnkfile";
const char kShellKey[] = "shell";
const char kCommandKey[] = "command";
const char kSettingsKey[] = "SOFTWARE\\vek\\Tarvo";
const char kMakerKey[] = "SOFTWARE\\vek";
const char kSoftwareKey[] = "SOFTWARE";
const char kMakerName[] = "vek";
const char kProgramName[] = "Tarvo";
const char kValueNormal[] = "normal";
const char kValueExplore[] = "explore";
const char kValueSelect[] = "select";

struct Verb {
  const char* keyName;
  const char* keyPath;
  const char* commandPath;
  const char* menuText;
  const char* mode;
};

const Verb kNormalVerb = {
    "Tarvo", "SOFTWARE\\Classes\\lnkfile\\shell\\Tarvo",
    "SOFTWARE\\Classes\\lnkfile\\shell\\Tarvo\\command",
    kNormalMenuText, "0"};
const Verb kExploreVerb = {
    "Tarvo_e", "SOFTWARE\\Classes\\lnkfile\\shell\\Tarvo_e",
    "SOFTWARE\\Classes\\lnkfile\\shell\\Tarvo_e\\command",
    kExploreMenuText, "1"};

class RegKey {
public:
  RegKey() = default;
  ~RegKey() {
    if (key_) RegCloseKey(key_);
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  HKEY* out() { return &key_; }
  HKEY get() const { return key_; }

private:
  HKEY key_ = nullptr;
};

bool CreateSubKey(HKEY parent, const char* name, RegKey* key) {
  char noClass[] = "";
  return RegCreateKeyExA(parent, name, 0, noClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                         key->out(), nullptr) == ERROR_SUCCESS;
}

bool SetDefaultText(HKEY key, const char* text) {
  return RegSetValueA(key, "", REG_SZ, text, LengthZ(text)) == ERROR_SUCCESS;
}

// A key that is already gone is what was asked for.
bool DeleteKey(HKEY root, const char* path) {
  LONG result = RegDeleteKeyA(root, path);
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool ReadFlag(HKEY key, const char* name) {
  DWORD value = 0;
  DWORD size = sizeof value;
  LONG result =
      RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
  return result == ERROR_SUCCESS && size == sizeof value && value == 1;
}

bool WriteFlag(HKEY key, const char* name, bool on) {
  DWORD value = on ? 1 : 0;
  return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        sizeof value) == ERROR_SUCCESS;
}

// "<program>" "%1" "<mode>": Explorer puts the shortcut's path in place of %1.
ByteString VerbCommandLine(const char* programPath, const char* mode) {
  const char* pieces[] = {"\"", programPath, "\" \"%1\" \"", mode, "\""};
  return ByteString::Join(pieces, 5);
}

// Each chain stops at the first failure, so nothing is ever created anywhere
// but in the places of the layout.
bool WriteVerb(const Verb& verb, const char* programPath) {
  RegKey parent, shell, verbKey, command;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVerbParentKey, 0, KEY_ALL_ACCESS, parent.out()) !=
      ERROR_SUCCESS)
    return false;
  if (!CreateSubKey(parent.get(), kShellKey, &shell)) return false;
  if (!CreateSubKey(shell.get(), verb.keyName, &verbKey)) return false;
  if (!SetDefaultText(verbKey.get(), verb.menuText)) return false;
  if (!CreateSubKey(verbKey.get(), kCommandKey, &command)) return false;
  ByteString line = VerbCommandLine(programPath, verb.mode);
  return SetDefaultText(command.get(), line.c_str());
}

bool DeleteVerb(const Verb& verb) {
  bool commandGone = DeleteKey(HKEY_LOCAL_MACHINE, verb.commandPath);
  return DeleteKey(HKEY_LOCAL_MACHINE, verb.keyPath) && commandGone;
}

// The maker key may be shared with other programs: it goes only when it holds
// neither keys nor values (RegDeleteKeyA alone would take values with it).
void DeleteMakerKeyIfEmpty() {
  DWORD subKeys = 1, values = 1;
  {
    RegKey maker;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kMakerKey, 0, KEY_READ, maker.out()) != ERROR_SUCCESS)
      return;
    if (RegQueryInfoKeyA(maker.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                         &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return;
  }
  if (subKeys == 0 && values == 0) RegDeleteKeyA(HKEY_CURRENT_USER, kMakerKey);
}

bool WriteOptions(const AppSettings& settings) {
  if (!settings.normal && !settings.explore) {
    // Without verbs nothing is kept, the "select" option included.
    bool gone = DeleteKey(HKEY_CURRENT_USER, kSettingsKey);
    DeleteMakerKeyIfEmpty();
    return gone;
  }
  RegKey software, maker, program;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSoftwareKey, 0, KEY_ALL_ACCESS, software.out()) !=
      ERROR_SUCCESS)
    return false;
  if (!CreateSubKey(software.get(), kMakerName, &maker)) return false;
  if (!CreateSubKey(maker.get(), kProgramName, &program)) return false;
  bool ok = WriteFlag(program.get(), kValueNormal, settings.normal);
  ok = WriteFlag(program.get(), kValueExplore, settings.explore) && ok;
  return WriteFlag(program.get(), kValueSelect, settings.select) && ok;
}

}  // namespace

AppSettings ReadSettings() {
  AppSettings settings = {false, false, false};
  RegKey key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, key.out()) != ERROR_SUCCESS)
    return settings;
  settings.normal = ReadFlag(key.get(), kValueNormal);
  settings.explore = ReadFlag(key.get(), kValueExplore);
  settings.select = ReadFlag(key.get(), kValueSelect);
  return settings;
}

unsigned WriteSettings(const AppSettings& settings) {
  unsigned failures = 0;
  ByteString programPath;
  if (settings.normal || settings.explore) {
    bool truncated = false;
    programPath = settingsPlatform.programPath(&truncated);
    // A cut path would register a command that starts nothing.
    if (truncated || programPath.empty()) failures |= kProgramPathUnusable;
  }
  bool pathUsable = !(failures & kProgramPathUnusable);

  // Each part stands on its own: a failure in one does not keep the others back.
  if (settings.normal ? !(pathUsable && WriteVerb(kNormalVerb, programPath.c_str()))
                      : !DeleteVerb(kNormalVerb))
    failures |= kNormalVerbFailed;
  if (settings.explore ? !(pathUsable && WriteVerb(kExploreVerb, programPath.c_str()))
                       : !DeleteVerb(kExploreVerb))
    failures |= kExploreVerbFailed;
  if (!WriteOptions(settings)) failures |= kOptionsFailed;
  return failures;
}
