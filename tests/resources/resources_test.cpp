// Tarvo's resources as the system reads them back: from this test program,
// which embeds app/tarvo.rc, and from a file loaded as data (the built
// tarvo.exe when TARVO_RESOURCE_FILE names it, else this program's own file).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

const WORD kJapanese = 0x0411;
const char kDescription[] =  // ショートカットファイルのリンク先を開く
    "\x83\x56\x83\x87\x81\x5B\x83\x67\x83\x4A\x83\x62\x83\x67\x83\x74\x83\x40\x83\x43"
    "\x83\x8B\x82\xCC\x83\x8A\x83\x93\x83\x4E\x90\xE6\x82\xF0\x8A\x4A\x82\xAD";

template <typename T>
T Read(const std::string& bytes, size_t offset) {
  T value{};
  if (offset + sizeof(T) <= bytes.size()) memcpy(&value, bytes.data() + offset, sizeof(T));
  return value;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR out) {
  reinterpret_cast<std::vector<WORD>*>(out)->push_back(language);
  return TRUE;
}

// The bytes of the one resource of that type and name, which must exist in
// that language only.
std::string Bytes(HMODULE module, LPCSTR type, LPCSTR name, WORD language) {
  std::vector<WORD> languages;
  EnumResourceLanguagesA(module, type, name, CollectLanguage, reinterpret_cast<LONG_PTR>(&languages));
  EXPECT_EQ(languages, std::vector<WORD>{language});
  HRSRC found = FindResourceExA(module, type, name, language);
  const char* data = found ? static_cast<const char*>(LockResource(LoadResource(module, found))) : nullptr;
  return data ? std::string(data, SizeofResource(module, found)) : std::string();
}

// Without biSizeImage, which may be 0 for BI_RGB: the resource's size tells.
std::vector<LONG> HeaderOf(const std::string& image) {
  auto h = Read<BITMAPINFOHEADER>(image, 0);
  return {LONG(h.biSize), h.biWidth, h.biHeight, h.biPlanes, h.biBitCount, LONG(h.biCompression), LONG(h.biClrUsed)};
}

class ProgramResources : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    if (const char* named = getenv("TARVO_RESOURCE_FILE")) strcpy(path, named);
    std::replace(path, path + strlen(path), '/', '\\');
    module_ = GetParam() ? LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE) : GetModuleHandleA(nullptr);
    ASSERT_NE(module_, nullptr) << path;
  }
  HMODULE module_ = nullptr;  // a data file stays loaded until the program ends
};

TEST_P(ProgramResources, IconAndBitmapAre32x32TrueColourWithWhiteCorners) {
  std::string image = Bytes(module_, RT_ICON, MAKEINTRESOURCEA(1), kJapanese);
  DWORD size = DWORD(image.size());
  // One directory entry: 32 x 32, no palette, 1 plane, 24 bits, icon id 1.
  EXPECT_EQ(Bytes(module_, RT_GROUP_ICON, "MAINICON", kJapanese),
            std::string("\0\0\1\0\1\0\x20\x20\0\0\1\0\x18\0", 14) +
                std::string(reinterpret_cast<char*>(&size), 4) + std::string("\1\0", 2));
  EXPECT_EQ(size, 40u + 3072u + 32u * 4u);  // colour rows, then mask rows
  EXPECT_EQ(HeaderOf(image), std::vector<LONG>({40, 32, 64, 1, 24, BI_RGB, 0}));

  std::string bitmap = Bytes(module_, RT_BITMAP, "FORM1_IMAGELIST1", 0);
  ASSERT_EQ(bitmap.size(), 40u + 3072u);
  EXPECT_EQ(HeaderOf(bitmap), std::vector<LONG>({40, 32, 32, 1, 24, BI_RGB, 0}));
  // Bottom-up rows: the bottom-left pixel comes first, the top-left one 31 rows on.
  EXPECT_EQ(bitmap.substr(40, 3) + bitmap.substr(40 + 31 * 96, 3), std::string(6, '\xFF'));
}

TEST_P(ProgramResources, VersionRecordReadsBackInCodePage932InItsKeyOrder) {
  std::string raw = Bytes(module_, RT_VERSION, MAKEINTRESOURCEA(1), kJapanese);
  // VerQueryValueA writes its code page conversions behind the record, as in
  // the copy that GetFileVersionInfoA makes.
  std::vector<char> block(raw.size() * 3 + 64, '\0');
  std::copy(raw.begin(), raw.end(), block.begin());
  auto query = [&](const std::string& path, UINT* length) {
    void* value = nullptr;
    return VerQueryValueA(block.data(), path.c_str(), &value, length) ? static_cast<const char*>(value) : "";
  };
  UINT length = 0;
  const DWORD* fixed = reinterpret_cast<const DWORD*>(query("\\", &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(std::vector<DWORD>(fixed, fixed + 13),
            std::vector<DWORD>({0xFEEF04BD, 0x10000, 0x28, 0, 0x28, 0, 0x3F, 0, VOS__WINDOWS32, VFT_APP, 0, 0, 0}));
  const char* translation = query("\\VarFileInfo\\Translation", &length);
  EXPECT_EQ(std::string(translation, length), std::string("\x11\x04\xA4\x03", 4));

  // The key order is only visible in the record: walk the table's children.
  std::vector<std::pair<std::string, std::string>> strings;
  const std::string tableKey("0\0004\0001\0001\0000\0003\0A\0004\0", 16);
  size_t table = raw.find(tableKey) - 6, end = table + Read<WORD>(raw, table);
  ASSERT_LE(end, raw.size());
  for (size_t at = (table + 6 + 18 + 3) & ~3u, next; at < end; at = next) {
    next = (at + Read<WORD>(raw, at) + 3) & ~3u;
    ASSERT_GT(next, at);
    std::string key;
    for (size_t c = at + 6; Read<WCHAR>(raw, c); c += 2) key += char(Read<WCHAR>(raw, c));
    const char* value = query("\\StringFileInfo\\041103A4\\" + key, &length);
    strings.push_back({key, std::string(value, strnlen(value, length))});
  }
  EXPECT_EQ(strings, (std::vector<std::pair<std::string, std::string>>{
                         {"CompanyName", "vek"}, {"FileDescription", kDescription},
                         {"FileVersion", "0.40.0.0"}, {"InternalName", ""},
                         {"LegalCopyright", "Copyright (C) 2026 vek"}, {"LegalTrademarks", ""},
                         {"OriginalFilename", "Tarvo"}, {"ProductName", "Tarvo"},
                         {"ProductVersion", "1.0.0.0"}, {"Comments", kDescription}}));
}

TEST_P(ProgramResources, ManifestSelectsCommonControls6) {
  std::string manifest = Bytes(module_, MAKEINTRESOURCEA(24), MAKEINTRESOURCEA(1), kJapanese);
  EXPECT_EQ(manifest.size(), 652u);
  size_t crlf = 0;
  for (size_t at = manifest.find("\r\n"); at != std::string::npos; at = manifest.find("\r\n", at + 2)) ++crlf;
  EXPECT_EQ(std::count(manifest.begin(), manifest.end(), '\n') + std::count(manifest.begin(), manifest.end(), '\r'),
            long(2 * crlf));
  EXPECT_EQ(manifest.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n", 0), 0u);
  EXPECT_EQ(manifest.substr(manifest.size() - 13), "</assembly>\r\n");
  // The program's own identity comes before the dependency, the dependency's after.
  size_t dependency = manifest.find("<dependency>");
  ASSERT_NE(dependency, std::string::npos);
  const std::vector<std::string> parts[] = {
      {"<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">",
       "version=\"1.0.0.0\"", "processorArchitecture=\"X86\"", "type=\"win32\"",
       "name=\"CompanyName.ProductName.YourApp\"", "<description>Description</description>"},
      {"<dependentAssembly>", "name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
       "processorArchitecture=\"X86\"", "publicKeyToken=\"6595b64144ccf1df\"", "language=\"*\"",
       "type=\"win32\"", "</dependentAssembly>"}};
  for (int inDependency : {0, 1})
    for (const std::string& part : parts[inDependency])
      EXPECT_NE((inDependency ? manifest.substr(dependency) : manifest.substr(0, dependency)).find(part),
                std::string::npos) << part;
}

INSTANTIATE_TEST_SUITE_P(Module, ProgramResources, testing::Bool(),
                         [](const auto& info) { return info.param ? "DataFile" : "OwnModule"; });

}  // namespace
