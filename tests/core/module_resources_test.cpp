#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <windows.h>

#include "core/IStringBuffer.h"
#include "core/ModuleResources.h"

using plugkit::FindResourceOrFile;
using plugkit::IStringBuffer;
using plugkit::LoadResourceBytes;

namespace {

// The test program carries the resources of module_resources_test.rc.
void* TestModule() { return GetModuleHandleW(nullptr); }

std::string BytesOf(const char* location, const char* type) {
  int32_t size = -1;
  const unsigned char* bytes = LoadResourceBytes(location, type, size, TestModule());
  return bytes ? std::string(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size)) : "<none>";
}

} // namespace

TEST(ModuleResources, FindsResourcesByFileNameInAnyCase) {
  struct ICase {
    const char* Name;
    const char* Type;
    const char* Location; // as stored by the resource compiler
    const char* Bytes;
  } cases[] = {
    {"Roboto-Regular.ttf", "TTF", "ROBOTO-REGULAR.TTF", "roboto stand-in"},
    {"Roboto-Regular.ttf", "ttf", "ROBOTO-REGULAR.TTF", "roboto stand-in"},
    {"ROBOTO-REGULAR.TTF", "tTf", "ROBOTO-REGULAR.TTF", "roboto stand-in"},
    {"corvathlogo.svg", "svg", "\"CORVATHLOGO.SVG\"", "<svg width=\"8\" height=\"8\"/>"},
    {"CorvathLogo.SVG", "SVG", "\"CORVATHLOGO.SVG\"", "<svg width=\"8\" height=\"8\"/>"},
  };
  for (const ICase& c : cases) {
    IStringBuffer location("previous");
    EXPECT_EQ(FindResourceOrFile(c.Name, c.Type, location, TestModule()), plugkit::kLocationResource)
      << c.Name << " " << c.Type;
    EXPECT_STREQ(location.Get(), c.Location) << c.Name;
    // What the lookup hands out is what the loader needs.
    EXPECT_EQ(BytesOf(location.Get(), c.Type), c.Bytes) << c.Name;
  }
}

TEST(ModuleResources, NamesThatAreNeitherResourceNorFileAreNotFound) {
  struct ICase {
    const char* Name;
    const char* Type;
  } cases[] = {
    {"Missing.ttf", "ttf"},
    {"Roboto-Regular.ttf", "svg"},  // right name, wrong type
    {"Roboto-Regular", "ttf"},      // a prefix is not the name
    {"Roboto-Regular.ttf.bak", "ttf"},
    {"\"Roboto-Regular.ttf\"", "ttf"},
    {"7", "ttf"},                    // numbered resources have no file name
    {"", "ttf"},
    {nullptr, "ttf"},
    {"Roboto-Regular.ttf", nullptr},
    {"Roboto-Regular.ttf", ""},
  };
  for (const ICase& c : cases) {
    IStringBuffer location("unchanged");
    EXPECT_EQ(FindResourceOrFile(c.Name, c.Type, location, TestModule()), plugkit::kLocationNotFound)
      << (c.Name ? c.Name : "(null)") << " " << (c.Type ? c.Type : "(null)");
    EXPECT_STREQ(location.Get(), "unchanged");
  }
}

TEST(ModuleResources, AModuleWithoutSuchResourcesFindsNothing) {
  IStringBuffer location("unchanged");
  EXPECT_EQ(FindResourceOrFile("Roboto-Regular.ttf", "ttf", location, GetModuleHandleW(L"kernel32.dll")),
            plugkit::kLocationNotFound);
  EXPECT_STREQ(location.Get(), "unchanged");
}

TEST(ModuleResources, ExistingFileIsFoundWithItsPathUnchanged) {
  wchar_t folder[MAX_PATH];
  ASSERT_GT(GetTempPathW(MAX_PATH, folder), 0u);
  // A name outside ASCII: paths are UTF-8 texts and must not go through the
  // system code page.
  const std::wstring widePath = std::wstring(folder) + L"plugkit-r\u00e9sum\u00e9-" +
                                std::to_wstring(GetCurrentProcessId()) + L".ttf";
  HANDLE file = CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);

  IStringBuffer path;
  ASSERT_TRUE(path.AssignWide(widePath.c_str()));
  IStringBuffer location;
  EXPECT_EQ(FindResourceOrFile(path.Get(), "ttf", location, TestModule()), plugkit::kLocationFile);
  EXPECT_STREQ(location.Get(), path.Get());
  // With no type there is no resource to look for, but the file is still there.
  EXPECT_EQ(FindResourceOrFile(path.Get(), nullptr, location, TestModule()), plugkit::kLocationFile);

  DeleteFileW(widePath.c_str());
  IStringBuffer after("unchanged");
  EXPECT_EQ(FindResourceOrFile(path.Get(), "ttf", after, TestModule()), plugkit::kLocationNotFound);
  EXPECT_STREQ(after.Get(), "unchanged");
}

TEST(ModuleResources, LoadsOnlyResourcesOfMoreThanSevenBytes) {
  int32_t size = -1;
  EXPECT_EQ(LoadResourceBytes("SEVEN.TTF", "ttf", size, TestModule()), nullptr);
  EXPECT_EQ(size, -1);

  const unsigned char* eight = LoadResourceBytes("eight.ttf", "ttf", size, TestModule());
  ASSERT_NE(eight, nullptr);
  EXPECT_EQ(size, 8);
  EXPECT_EQ(std::memcmp(eight, "12345678", 8), 0);
}

TEST(ModuleResources, LoadingMissingResourcesFailsCleanly) {
  const struct {
    const char* Location;
    const char* Type;
  } cases[] = {
    {"MISSING.TTF", "TTF"}, {"ROBOTO-REGULAR.TTF", "SVG"}, {nullptr, "TTF"}, {"", "TTF"},
    {"ROBOTO-REGULAR.TTF", nullptr}, {"ROBOTO-REGULAR.TTF", ""},
  };
  for (const auto& c : cases) {
    int32_t size = 1234;
    EXPECT_EQ(LoadResourceBytes(c.Location, c.Type, size, TestModule()), nullptr);
    EXPECT_EQ(size, 1234);
  }
  int32_t size = 1234;
  EXPECT_EQ(LoadResourceBytes("ROBOTO-REGULAR.TTF", "TTF", size, GetModuleHandleW(L"kernel32.dll")), nullptr);
  EXPECT_EQ(size, 1234);
}

TEST(ModuleResources, StoredModuleHandleIsKept) {
  void* const previous = plugkit::StoredModuleHandle();
  plugkit::StoreModuleHandle(TestModule());
  EXPECT_EQ(plugkit::StoredModuleHandle(), TestModule());
  IStringBuffer location;
  EXPECT_EQ(FindResourceOrFile("Eight.ttf", "ttf", location, plugkit::StoredModuleHandle()), plugkit::kLocationResource);
  plugkit::StoreModuleHandle(previous);
}

TEST(StringBufferWide, ConvertsUtf16ToUtf8) {
  const struct {
    const wchar_t* Wide;
    const char* Utf8;
  } cases[] = {
    {L"Roboto", "Roboto"},
    {L"Gr\u00fc\u00dfe", "Gr\xc3\xbc\xc3\x9f" "e"},
    {L"\u20ac 5", "\xe2\x82\xac 5"},
    {L"\xd83c\xdfb5", "\xf0\x9f\x8e\xb5"}, // a surrogate pair is one character
    {L"", ""},
    {nullptr, ""},
  };
  for (const auto& c : cases) {
    IStringBuffer text("some earlier, longer text that is replaced");
    EXPECT_TRUE(text.AssignWide(c.Wide));
    EXPECT_STREQ(text.Get(), c.Utf8);
    // The buffer's size stays its text length + 1 (or 0 when empty).
    EXPECT_EQ(text.Length(), static_cast<int32_t>(std::strlen(c.Utf8)));
    EXPECT_TRUE(text.Block().Size() == text.Length() + 1 || (text.Length() == 0 && text.Block().Size() <= 1));
  }
}

TEST(StringBufferWide, UnpairedSurrogateBecomesAReplacementCharacter) {
  IStringBuffer text;
  const wchar_t lone[] = {L'a', 0xd800, L'b', 0};
  EXPECT_TRUE(text.AssignWide(lone));
  EXPECT_STREQ(text.Get(), "a\xef\xbf\xbd" "b");
}
