#include "resource_checks.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);  // 0x0411
const WORD kNeutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
const LPCSTR kManifestType = MAKEINTRESOURCEA(24);
const char kDescription[] =  // ショートカットファイルのリンク先を開く
    "\x83\x56\x83\x87\x81\x5B\x83\x67\x83\x4A\x83\x62\x83\x67\x83\x74\x83\x40\x83\x43"
    "\x83\x8B\x82\xCC\x83\x8A\x83\x93\x83\x4E\x90\xE6\x82\xF0\x8A\x4A\x82\xAD";

std::string ResourceBytes(HMODULE module, LPCSTR type, LPCSTR name, WORD language) {
  HRSRC found = FindResourceExA(module, type, name, language);
  if (!found) return std::string();
  HGLOBAL loaded = LoadResource(module, found);
  const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  return data ? std::string(data, SizeofResource(module, found)) : std::string();
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR out) {
  reinterpret_cast<std::vector<WORD>*>(out)->push_back(language);
  return TRUE;
}

template <typename T>
T Read(const std::string& bytes, size_t offset) {
  T value{};
  if (offset + sizeof(T) <= bytes.size()) memcpy(&value, bytes.data() + offset, sizeof(T));
  return value;
}

// One node of a 32-bit version record: key, value bytes and children, in the
// order in which they are stored.
struct VersionNode {
  std::wstring key;
  std::string value;
  std::vector<VersionNode> children;
};

size_t Align4(size_t n) { return (n + 3) & ~size_t(3); }

// Parses the node at `offset`; answers false on a malformed record.
bool ParseVersionNode(const std::string& bytes, size_t offset, VersionNode* node) {
  WORD length = Read<WORD>(bytes, offset);
  WORD valueLength = Read<WORD>(bytes, offset + 2);
  WORD type = Read<WORD>(bytes, offset + 4);
  size_t end = offset + length;
  if (length < 6 || end > bytes.size()) return false;
  size_t pos = offset + 6;
  for (;; pos += 2) {
    if (pos + 2 > end) return false;
    wchar_t c = Read<wchar_t>(bytes, pos);
    if (!c) break;
    node->key += c;
  }
  pos = Align4(pos + 2);
  size_t valueBytes = type == 1 ? valueLength * 2u : valueLength;  // text counts characters
  if (pos + valueBytes > end) return false;
  node->value = bytes.substr(pos, valueBytes);
  pos = Align4(pos + valueBytes);
  while (pos < end) {
    VersionNode child;
    if (!ParseVersionNode(bytes, pos, &child)) return false;
    node->children.push_back(child);
    pos = Align4(pos + Read<WORD>(bytes, pos));
  }
  return true;
}

const VersionNode* Child(const VersionNode& node, const wchar_t* key) {
  for (const VersionNode& c : node.children)
    if (c.key == key) return &c;
  return nullptr;
}

std::string DibPixels(HBITMAP bitmap, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::string pixels(size_t(width) * height * 4, '\0');
  HDC dc = GetDC(nullptr);
  int rows = GetDIBits(dc, bitmap, 0, height, &pixels[0], &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  return rows == height ? pixels : std::string();
}

DWORD PixelAt(const std::string& topDown32, int width, int x, int y) {
  return Read<DWORD>(topDown32, (size_t(y) * width + x) * 4) & 0xFFFFFF;
}

}  // namespace

void CheckResourceLanguages(HMODULE module) {
  struct Case {
    LPCSTR type;
    LPCSTR name;
    WORD language;
  } const cases[] = {
      {RT_GROUP_ICON, "MAINICON", kJapanese},
      {RT_ICON, MAKEINTRESOURCEA(1), kJapanese},
      {RT_BITMAP, "FORM1_IMAGELIST1", kNeutral},
      {RT_VERSION, MAKEINTRESOURCEA(1), kJapanese},
      {kManifestType, MAKEINTRESOURCEA(1), kJapanese},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(IS_INTRESOURCE(c.name) ? std::to_string(ULONG_PTR(c.name)) : c.name);
    std::vector<WORD> languages;
    EnumResourceLanguagesA(module, c.type, c.name, CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    EXPECT_EQ(languages, std::vector<WORD>{c.language});
  }
}

void CheckMainIcon(HMODULE module) {
  HICON icon = LoadIconA(module, "MAINICON");
  ASSERT_NE(icon, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP colour{};
  GetObjectA(info.hbmColor, sizeof(colour), &colour);
  EXPECT_EQ(colour.bmWidth, 32);
  EXPECT_EQ(colour.bmHeight, 32);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);

  // The group: reserved 0, type 1 (icon), one entry of 14 bytes.
  std::string group = ResourceBytes(module, RT_GROUP_ICON, "MAINICON", kJapanese);
  ASSERT_EQ(group.size(), 6u + 14u);
  EXPECT_EQ(Read<WORD>(group, 0), 0);
  EXPECT_EQ(Read<WORD>(group, 2), 1);
  EXPECT_EQ(Read<WORD>(group, 4), 1);
  EXPECT_EQ(Read<BYTE>(group, 6), 32);   // width
  EXPECT_EQ(Read<BYTE>(group, 7), 32);   // height
  EXPECT_EQ(Read<BYTE>(group, 8), 0);    // no palette
  EXPECT_EQ(Read<WORD>(group, 10), 1);   // planes
  EXPECT_EQ(Read<WORD>(group, 12), 24);  // bits per pixel
  DWORD imageBytes = Read<DWORD>(group, 14);
  EXPECT_EQ(Read<WORD>(group, 18), 1);   // icon id

  std::string image = ResourceBytes(module, RT_ICON, MAKEINTRESOURCEA(1), kJapanese);
  ASSERT_EQ(image.size(), imageBytes);
  auto header = Read<BITMAPINFOHEADER>(image, 0);
  EXPECT_EQ(header.biWidth, 32);
  EXPECT_EQ(header.biHeight, 64);  // colour and mask stacked
  EXPECT_EQ(header.biBitCount, 24);
  EXPECT_EQ(image.size(), 40u + 3072u + 32u * 4u);
}

void CheckImageListBitmap(HMODULE module) {
  // The raw resource: a header and 24-bit pixels, nothing else.
  std::string raw = ResourceBytes(module, RT_BITMAP, "FORM1_IMAGELIST1", kNeutral);
  ASSERT_EQ(raw.size(), 40u + 3072u);
  auto header = Read<BITMAPINFOHEADER>(raw, 0);
  EXPECT_EQ(header.biSize, 40u);
  EXPECT_EQ(header.biWidth, 32);
  EXPECT_EQ(header.biHeight, 32);
  EXPECT_EQ(header.biPlanes, 1);
  EXPECT_EQ(header.biBitCount, 24);
  EXPECT_EQ(header.biCompression, DWORD(BI_RGB));
  EXPECT_EQ(header.biSizeImage, 3072u);
  EXPECT_EQ(header.biClrUsed, 0u);

  HBITMAP dib = static_cast<HBITMAP>(
      LoadImageA(module, "FORM1_IMAGELIST1", IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(dib, nullptr);
  DIBSECTION section{};
  ASSERT_EQ(GetObjectA(dib, sizeof(section), &section), int(sizeof(section)));
  EXPECT_EQ(section.dsBm.bmBitsPixel, 24);
  EXPECT_EQ(section.dsBmih.biCompression, DWORD(BI_RGB));
  DeleteObject(dib);

  // What the settings window gets: LoadBitmapA, masked with white. Only the
  // rounded-off corners may be white, or the mask punches holes in the picture.
  HBITMAP bitmap = LoadBitmapA(module, "FORM1_IMAGELIST1");
  ASSERT_NE(bitmap, nullptr);
  BITMAP info{};
  GetObjectA(bitmap, sizeof(info), &info);
  EXPECT_EQ(info.bmWidth, 32);
  EXPECT_EQ(info.bmHeight, 32);
  std::string pixels = DibPixels(bitmap, 32, 32);
  DeleteObject(bitmap);
  ASSERT_EQ(pixels.size(), 32u * 32u * 4u);
  EXPECT_EQ(PixelAt(pixels, 32, 0, 0), 0xFFFFFFu);   // top left
  EXPECT_EQ(PixelAt(pixels, 32, 0, 31), 0xFFFFFFu);  // bottom left
  int whiteInside = 0;
  for (int y = 4; y < 28; ++y)
    for (int x = 0; x < 32; ++x) whiteInside += PixelAt(pixels, 32, x, y) == 0xFFFFFF;
  EXPECT_EQ(whiteInside, 0);
}

void CheckVersionRecord(HMODULE module) {
  std::string raw = ResourceBytes(module, RT_VERSION, MAKEINTRESOURCEA(1), kJapanese);
  ASSERT_GT(raw.size(), sizeof(VS_FIXEDFILEINFO));
  // VerQueryValueA writes its code page conversions behind the record, so it
  // needs a writable copy with room to spare, as GetFileVersionInfoA makes.
  std::vector<char> block(raw.size() * 3, '\0');
  memcpy(block.data(), raw.data(), raw.size());

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed->dwFileVersionMS, 0x28u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x28u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0u);
  EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
  EXPECT_EQ(fixed->dwFileFlags, 0u);
  EXPECT_EQ(fixed->dwFileOS, DWORD(VOS__WINDOWS32));
  EXPECT_EQ(fixed->dwFileType, DWORD(VFT_APP));
  EXPECT_EQ(fixed->dwFileSubtype, 0u);
  EXPECT_EQ(fixed->dwFileDateMS, 0u);
  EXPECT_EQ(fixed->dwFileDateLS, 0u);

  struct Entry {
    const char* key;
    const char* value;  // code page 932
  } const entries[] = {
      {"CompanyName", "vek"},
      {"FileDescription", kDescription},
      {"FileVersion", "0.40.0.0"},
      {"InternalName", ""},
      {"LegalCopyright", "Copyright (C) 2026 vek"},
      {"LegalTrademarks", ""},
      {"OriginalFilename", "Tarvo"},
      {"ProductName", "Tarvo"},
      {"ProductVersion", "1.0.0.0"},
      {"Comments", kDescription},
  };
  for (const Entry& e : entries) {
    SCOPED_TRACE(e.key);
    std::string path = std::string("\\StringFileInfo\\041103A4\\") + e.key;
    char* text = nullptr;
    length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&text),
                               &length));
    std::string got = length ? std::string(text, strnlen(text, length)) : std::string();
    EXPECT_EQ(got, e.value);
  }

  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                             reinterpret_cast<void**>(&translation), &length));
  ASSERT_EQ(length, 4u);
  EXPECT_EQ(translation[0], 0x0411);
  EXPECT_EQ(translation[1], 0x03A4);

  // The order of the keys is only visible in the record itself.
  VersionNode root;
  ASSERT_TRUE(ParseVersionNode(raw, 0, &root));
  EXPECT_EQ(root.key, L"VS_VERSION_INFO");
  const VersionNode* strings = Child(root, L"StringFileInfo");
  ASSERT_NE(strings, nullptr);
  ASSERT_EQ(strings->children.size(), 1u);
  EXPECT_EQ(strings->children[0].key, L"041103A4");
  std::vector<std::wstring> keys, expected;
  for (const VersionNode& n : strings->children[0].children) keys.push_back(n.key);
  for (const Entry& e : entries) expected.push_back(std::wstring(e.key, e.key + strlen(e.key)));
  EXPECT_EQ(keys, expected);
}

void CheckManifest(HMODULE module) {
  std::string manifest = ResourceBytes(module, kManifestType, MAKEINTRESOURCEA(1), kJapanese);
  ASSERT_EQ(manifest.size(), 652u);
  size_t lines = 0;
  for (size_t i = 0; i < manifest.size(); ++i) {
    if (manifest[i] == '\r') {
      EXPECT_EQ(manifest.substr(i, 2), "\r\n") << "at " << i;
      ++lines;
    } else if (manifest[i] == '\n') {
      EXPECT_TRUE(i > 0 && manifest[i - 1] == '\r') << "bare LF at " << i;
    }
  }
  EXPECT_EQ(lines, 22u);
  EXPECT_EQ(manifest.substr(manifest.size() - 2), "\r\n");
  EXPECT_EQ(manifest.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n", 0),
            0u);

  size_t open = manifest.find("<dependency>");
  size_t close = manifest.find("</dependency>");
  ASSERT_NE(open, std::string::npos);
  ASSERT_NE(close, std::string::npos);
  std::string own = manifest.substr(0, open);
  std::string dependency = manifest.substr(open, close - open);
  const char* const ownParts[] = {
      "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">",
      "version=\"1.0.0.0\"", "processorArchitecture=\"X86\"",
      "name=\"CompanyName.ProductName.YourApp\"", "type=\"win32\"",
      "<description>Description</description>",
  };
  for (const char* part : ownParts) EXPECT_NE(own.find(part), std::string::npos) << part;
  const char* const dependencyParts[] = {
      "<dependentAssembly>", "type=\"win32\"", "name=\"Microsoft.Windows.Common-Controls\"",
      "version=\"6.0.0.0\"", "processorArchitecture=\"X86\"",
      "publicKeyToken=\"6595b64144ccf1df\"", "language=\"*\"", "</dependentAssembly>",
  };
  for (const char* part : dependencyParts)
    EXPECT_NE(dependency.find(part), std::string::npos) << part;
  EXPECT_NE(manifest.find("</assembly>\r\n"), std::string::npos);
}
