#include "resource_checks.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

enum class Source { OwnModule, DataFile };

// TARVO_RESOURCE_FILE names another file to check (the built tarvo.exe, as a
// Windows path); without it the data-file case reads this program's own file,
// which carries the same resources.
std::string DataFilePath() {
  if (const char* named = getenv("TARVO_RESOURCE_FILE")) {
    std::string path = named;
    for (char& c : path)
      if (c == '/') c = '\\';
    return path;
  }
  char own[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, own, sizeof(own));
  return own;
}

class ProgramResources : public testing::TestWithParam<Source> {
 protected:
  void SetUp() override {
    if (GetParam() == Source::OwnModule) {
      module_ = GetModuleHandleA(nullptr);
    } else {
      std::string path = DataFilePath();
      loaded_ = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
      ASSERT_NE(loaded_, nullptr) << path;
      module_ = loaded_;
    }
  }
  void TearDown() override {
    if (loaded_) FreeLibrary(loaded_);
  }
  HMODULE module_ = nullptr;
  HMODULE loaded_ = nullptr;
};

TEST_P(ProgramResources, EachResourceHasItsLanguage) { CheckResourceLanguages(module_); }
TEST_P(ProgramResources, MainIconIsOne32x32TrueColourImage) { CheckMainIcon(module_); }
TEST_P(ProgramResources, ImageListBitmapIs32x32WithWhiteCorners) { CheckImageListBitmap(module_); }
TEST_P(ProgramResources, VersionRecordReadsBackInCodePage932) { CheckVersionRecord(module_); }
TEST_P(ProgramResources, ManifestSelectsCommonControls6) { CheckManifest(module_); }

INSTANTIATE_TEST_SUITE_P(Module, ProgramResources,
                         testing::Values(Source::OwnModule, Source::DataFile),
                         [](const testing::TestParamInfo<Source>& info) {
                           return info.param == Source::OwnModule ? "OwnModule" : "DataFile";
                         });

}  // namespace
