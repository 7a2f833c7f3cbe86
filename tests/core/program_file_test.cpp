// Preset files: exact big-endian layout of both forms, round trips, and
// refusal of foreign, truncated and malformed files with nothing changed.

#include <gtest/gtest.h>

#include <windows.h>

#include <io.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <string>

#include "core/IPluginBase.h"
#include "core/Utf8File.h"
#include "tests/core/plugin_fixture.h"

namespace plugkit::test {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr int32_t kCode = 0x574B5A4D; // "WKZM"

Bytes Int32BE(int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  return {static_cast<uint8_t>(u >> 24), static_cast<uint8_t>(u >> 16), static_cast<uint8_t>(u >> 8),
          static_cast<uint8_t>(u)};
}

Bytes Name28(const std::string& name) {
  Bytes field(28, 0);
  for (size_t i = 0; i < name.size() && i < 28; ++i) field[i] = static_cast<uint8_t>(name[i]);
  return field;
}

// The common 56 bytes before the values or the chunk length.
Bytes Head(const char* form, int32_t sizeField, const std::string& name, int32_t code = kCode,
           int32_t version = 1, int32_t count = 3) {
  return Join({Text("CcnK"), Int32BE(sizeField), Text(form), Int32BE(version), Int32BE(code),
               {0x00, 0x00, 0x27, 0xDB}, // 1.2.3 as 10203
               Int32BE(count), Name28(name)});
}

// -3, 15, 37.25 as normalised float32: 0.375, 0.575, 0.3725.
const Bytes kNormalisedValues = {0x3E, 0xC0, 0x00, 0x00, 0x3F, 0x13, 0x33, 0x33, 0x3E, 0xBE, 0xB8, 0x52};
const Bytes kStateHeader = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
const Bytes kState = Join({le64::kMinus3, le64::k15, le64::k37_25});

std::string TempPath(const std::string& name) {
  wchar_t dir[MAX_PATH];
  const DWORD length = GetTempPathW(MAX_PATH, dir);
  char utf8[4 * MAX_PATH];
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, dir, static_cast<int>(length), utf8, sizeof utf8, nullptr, nullptr);
  return std::string(utf8, static_cast<size_t>(bytes)) + "plugkit_" + name;
}

// A file in the temporary folder, removed when the test (or the loop pass)
// ends, also when an assertion ends it early.
class ScratchFile {
public:
  explicit ScratchFile(const std::string& name) : mPath(TempPath(name)) {}
  ~ScratchFile() { std::remove(mPath.c_str()); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  const char* Path() const { return mPath.c_str(); }

private:
  std::string mPath;
};

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

Bytes ReadFile(const std::string& path) {
  IStateBuffer data;
  EXPECT_TRUE(ReadAndClose(OpenUtf8File(path.c_str(), "rb"), data, 1 << 20));
  return BytesOf(data);
}

// A configured plug-in with preset 0 "Down 3" current and the values -3, 15, 37.25.
void Prepare(FixturePlugin& plugin, bool stateChunks) {
  plugin.SetUniqueCode(kCode);
  plugin.SetVendorVersion(0x00010203);
  plugin.SetStateChunks(stateChunks);
  ASSERT_TRUE(plugin.DefinePreset("Down 3", -3, 15, 37.25));
  ASSERT_TRUE(plugin.DefinePreset("Second", 1, 1, 1));
  plugin.SetValues(-3, 15, 37.25);
}

struct Snapshot {
  std::vector<double> values;
  std::string title;
  Bytes state;
  bool operator==(const Snapshot& o) const { return values == o.values && title == o.title && state == o.state; }
};

Snapshot Take(const FixturePlugin& plugin) {
  return {plugin.Values(), plugin.PresetTitleAt(plugin.CurrentPreset()),
          BytesOf(plugin.GetPreset(plugin.CurrentPreset())->state)};
}

TEST(ProgramFile, ValuesFormHasTheExactLayout) {
  FixturePlugin plugin;
  Prepare(plugin, false);
  const ScratchFile file("values.fxp");
  ASSERT_TRUE(plugin.SaveProgramFile(file.Path()));
  const Bytes expected = Join({Head("FxCk", 0, "Down 3"), kNormalisedValues});
  EXPECT_EQ(expected.size(), 68u);
  EXPECT_EQ(ReadFile(file.Path()), expected);
}

TEST(ProgramFile, ChunkFormHasTheExactLayout) {
  FixturePlugin plugin;
  Prepare(plugin, true);
  const ScratchFile file("chunk.fxp");
  ASSERT_TRUE(plugin.SaveProgramFile(file.Path()));
  const Bytes expected = Join({Head("FPCh", 92, "Down 3"), Int32BE(32), kStateHeader, kState});
  EXPECT_EQ(expected.size(), 92u);
  EXPECT_EQ(ReadFile(file.Path()), expected);
}

TEST(ProgramFile, RoundTripRestoresValuesAndRenamesTheCurrentPreset) {
  for (bool chunks : {false, true}) {
    FixturePlugin source;
    Prepare(source, chunks);
    const ScratchFile file("roundtrip.fxp");
    ASSERT_TRUE(source.SaveProgramFile(file.Path()));

    FixturePlugin target;
    target.SetUniqueCode(kCode);
    target.SetStateChunks(chunks);
    ASSERT_TRUE(target.DefinePreset("Default", 0, 0, 100));
    target.ForgetNotifications();
    ASSERT_TRUE(target.LoadProgramFile(file.Path())) << chunks;
    const std::vector<double> values = target.Values();
    EXPECT_EQ(values[0], -3);
    EXPECT_EQ(values[1], 15);
    EXPECT_NEAR(values[2], 37.25, chunks ? 0.0 : 1e-4); // float32 in the values form
    EXPECT_STREQ(target.PresetTitleAt(0), "Down 3");
    EXPECT_EQ(target.hostPresetNotes, 1);
    EXPECT_GE(target.presetRestored, 1);
    IStateBuffer now;
    ASSERT_TRUE(target.SerializeParams(now));
    EXPECT_EQ(BytesOf(target.GetPreset(0)->state), BytesOf(now));
  }
}

TEST(ProgramFile, ChunkFormLoadsWithoutStateHeaderAndValuesFormWithChunksOn) {
  struct Case {
    const char* what;
    Bytes file;
  } cases[] = {
      {"chunk without header", Join({Head("FPCh", 84, "Raw"), Int32BE(24), kState})},
      {"values form", Join({Head("FxCk", 0, "Raw"), kNormalisedValues})},
  };
  for (const Case& c : cases) {
    FixturePlugin plugin;
    plugin.SetUniqueCode(kCode);
    plugin.SetStateChunks(true);
    ASSERT_TRUE(plugin.DefinePreset("Default", 0, 0, 100));
    const ScratchFile file("forms.fxp");
    WriteFile(file.Path(), c.file);
    EXPECT_TRUE(plugin.LoadProgramFile(file.Path())) << c.what;
    EXPECT_EQ(plugin.Values()[0], -3) << c.what;
    EXPECT_STREQ(plugin.PresetTitleAt(0), "Raw") << c.what;
  }
}

TEST(ProgramFile, RefusedFilesChangeNothing) {
  const Bytes values = Join({Head("FxCk", 0, "Bad"), kNormalisedValues});
  const Bytes chunk = Join({Head("FPCh", 92, "Bad"), Int32BE(32), kStateHeader, kState});
  struct Case {
    const char* what;
    Bytes file;
    bool chunks;
  } cases[] = {
      {"another plug-in", Join({Head("FxCk", 0, "Bad", 0x41424344), kNormalisedValues}), false},
      {"another format version", Join({Head("FxCk", 0, "Bad", kCode, 2), kNormalisedValues}), false},
      {"no CcnK", Join({Text("CcnX"), Bytes(values.begin() + 4, values.end())}), false},
      {"unknown form", Join({Head("FxBk", 0, "Bad"), kNormalisedValues}), false},
      {"empty file", {}, false},
      {"shorter than the header", Bytes(values.begin(), values.begin() + 55), false},
      {"chunk form with state chunks off", chunk, false},
      {"chunk length missing", Head("FPCh", 92, "Bad"), true},
      {"chunk past the end", Bytes(chunk.begin(), chunk.end() - 1), true},
      {"negative chunk length", Join({Head("FPCh", 92, "Bad"), Int32BE(-8), kStateHeader, kState}), true},
      {"state shorter than the parameters",
       Join({Head("FPCh", 84, "Bad"), Int32BE(24), kStateHeader, le64::k2, le64::k2}), true},
      {"header cut inside its version", Join({Head("FPCh", 66, "Bad"), Int32BE(6), {0x74, 0x66, 0x66, 0x70, 0, 0}}),
       true},
  };
  for (const Case& c : cases) {
    FixturePlugin plugin;
    Prepare(plugin, c.chunks);
    plugin.SetValues(5, -7, 60);
    const Snapshot before = Take(plugin);
    plugin.ForgetNotifications();
    const ScratchFile file("refused.fxp");
    WriteFile(file.Path(), c.file);
    EXPECT_FALSE(plugin.LoadProgramFile(file.Path())) << c.what;
    EXPECT_TRUE(Take(plugin) == before) << c.what;
    EXPECT_TRUE(plugin.changes.empty()) << c.what;
    EXPECT_EQ(plugin.hostPresetNotes, 0) << c.what;
  }
}

TEST(ProgramFile, BadPathsAreRefused) {
  FixturePlugin plugin;
  Prepare(plugin, false);
  const std::string missing = TempPath("no_such_dir\\x.fxp");
  for (const char* path : {static_cast<const char*>(nullptr), "", "\xFF\xFE.fxp", missing.c_str()}) {
    EXPECT_FALSE(plugin.SaveProgramFile(path)) << (path ? path : "null");
    EXPECT_FALSE(plugin.LoadProgramFile(path)) << (path ? path : "null");
  }
  EXPECT_EQ(plugin.Values(), (std::vector<double>{-3, 15, 37.25}));
}

// The values form is read for this plug-in's own parameters: the count field
// is not examined, a short file sets the values it holds whole and leaves the
// other parameters alone, and bytes after the last parameter are ignored.
TEST(ProgramFile, ValuesFormReadsWholeValuesWhateverTheCountField) {
  const Bytes two(kNormalisedValues.begin(), kNormalisedValues.begin() + 8);
  const std::vector<double> all = {-3, 15, 37.25}, firstTwo = {-3, 15, 60}, none = {5, -7, 60};
  struct Case {
    const char* what;
    int32_t countField;
    Bytes values;
    std::vector<double> expected;
  } cases[] = {
      {"count and values agree", 3, kNormalisedValues, all},
      {"count 0, every value present", 0, kNormalisedValues, all},
      {"count 2, every value present", 2, kNormalisedValues, all},
      {"count larger than the parameters, every value present", 4, kNormalisedValues, all},
      {"huge count, every value present", INT32_MAX, kNormalisedValues, all},
      {"negative count, every value present", -1, kNormalisedValues, all},
      {"bytes after the last value", 3, Join({kNormalisedValues, {1, 2, 3, 4, 5}}), all},
      {"two values, count 2", 2, two, firstTwo},
      {"two values, count 3", 3, two, firstTwo},
      {"last value cut short", 3, Bytes(kNormalisedValues.begin(), kNormalisedValues.end() - 1), firstTwo},
      {"header only", 3, {}, none},
  };
  for (const Case& c : cases) {
    FixturePlugin plugin;
    plugin.SetUniqueCode(kCode);
    ASSERT_TRUE(plugin.DefinePreset("Default", 0, 0, 100));
    plugin.SetValues(5, -7, 60);
    plugin.ForgetNotifications();
    const ScratchFile file("count.fxp");
    WriteFile(file.Path(), Join({Head("FxCk", 0, "Read", kCode, 1, c.countField), c.values}));
    ASSERT_TRUE(plugin.LoadProgramFile(file.Path())) << c.what;
    const std::vector<double> values = plugin.Values();
    for (size_t i = 0; i < 3; ++i) EXPECT_NEAR(values[i], c.expected[i], 1e-4) << c.what << " #" << i;
    EXPECT_STREQ(plugin.PresetTitleAt(0), "Read") << c.what;
    EXPECT_EQ(plugin.hostPresetNotes, 1) << c.what;
  }
}

// The file's values are stored in the renamed current slot before that slot is
// applied (so applying it keeps them), and the host hears of the change last.
TEST(ProgramFile, LoadingRenamesThenAppliesThenNotifiesTheHost) {
  struct Case {
    bool chunks;
    Bytes file;
    std::vector<std::string> expected;
  } cases[] = {
      {false, Join({Head("FxCk", 0, "Loaded"), kNormalisedValues}),
       Events({EveryParamEvents(IChangeSource::Preset), {"restored 1 Loaded"}, StateLoadedEvents(),
               {"host preset"}})},
      // The chunk's values reach the parameters through the parameter state
      // first, which notifies once more.
      {true, Join({Head("FPCh", 92, "Loaded"), Int32BE(32), kStateHeader, kState}),
       Events({EveryParamEvents(IChangeSource::Preset), EveryParamEvents(IChangeSource::Preset),
               {"restored 1 Loaded"}, StateLoadedEvents(), {"host preset"}})},
  };
  for (const Case& c : cases) {
    FixturePlugin plugin;
    Prepare(plugin, c.chunks);
    plugin.SetCurrentPresetIndex(1); // "Second": 1, 1, 1
    plugin.SetValues(5, -7, 60);
    plugin.ForgetNotifications();
    const ScratchFile file("order.fxp");
    WriteFile(file.Path(), c.file);
    ASSERT_TRUE(plugin.LoadProgramFile(file.Path())) << c.chunks;
    EXPECT_EQ(plugin.events, c.expected) << c.chunks;
    EXPECT_EQ(plugin.Values()[1], 15) << c.chunks;
    EXPECT_EQ(plugin.CurrentPreset(), 1) << c.chunks;
  }
}

// Loading into an unfilled current slot: the rename lands on the slot, but
// applying an unfilled slot fills it and titles it as the next user preset,
// so the file's program name does not survive. Pinned as it is.
TEST(ProgramFile, LoadingIntoAnUnfilledSlotMakesTheNextUserPreset) {
  for (bool chunks : {false, true}) {
    FixturePlugin plugin(3);
    plugin.SetUniqueCode(kCode);
    plugin.SetStateChunks(chunks);
    ASSERT_TRUE(plugin.DefinePreset("user preset 1", 1, 1, 1));
    plugin.SetCurrentPresetIndex(1);
    plugin.SetValues(5, -7, 60);
    plugin.ForgetNotifications();
    const ScratchFile file("unfilled.fxp");
    WriteFile(file.Path(), chunks ? Join({Head("FPCh", 92, "Loaded"), Int32BE(32), kStateHeader, kState})
                                  : Join({Head("FxCk", 0, "Loaded"), kNormalisedValues}));
    ASSERT_TRUE(plugin.LoadProgramFile(file.Path())) << chunks;
    EXPECT_TRUE(plugin.GetPreset(1)->filled) << chunks;
    EXPECT_STREQ(plugin.PresetTitleAt(1), "user preset 2") << chunks;
    EXPECT_EQ(plugin.Values()[0], -3) << chunks;
    IStateBuffer now;
    ASSERT_TRUE(plugin.SerializeParams(now));
    EXPECT_EQ(BytesOf(plugin.GetPreset(1)->state), BytesOf(now)) << chunks;
    EXPECT_EQ(plugin.CurrentPreset(), 1) << chunks;
    EXPECT_EQ(plugin.presetRestored, 1) << chunks;
    EXPECT_EQ(plugin.hostPresetNotes, 1) << chunks;
  }
}

TEST(ProgramFile, NonFiniteValuesNeverReachAParameter) {
  const Bytes nan32 = {0x7F, 0xC0, 0x00, 0x00};
  const Bytes inf32 = {0x7F, 0x80, 0x00, 0x00};
  struct Case {
    bool chunks;
    Bytes file;
    std::vector<double> expected;
  } cases[] = {
      {false, Join({Head("FxCk", 0, "N"), nan32, inf32, {0x3F, 0x00, 0x00, 0x00}}), {5, -7, 50}},
      {true, Join({Head("FPCh", 92, "N"), Int32BE(32), kStateHeader, le64::kNaN, le64::k15, le64::kInf}), {5, 15, 60}},
  };
  for (const Case& c : cases) {
    FixturePlugin plugin;
    plugin.SetUniqueCode(kCode);
    plugin.SetStateChunks(c.chunks);
    plugin.SetValues(5, -7, 60);
    const ScratchFile file("nan.fxp");
    WriteFile(file.Path(), c.file);
    EXPECT_TRUE(plugin.LoadProgramFile(file.Path()));
    EXPECT_EQ(plugin.Values(), c.expected) << c.chunks;
  }
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Saving over an existing preset: the new file replaces the old one whole, and
// a save that fails, before or after its bytes are written, leaves the old
// file as it was and no temporary file behind.
TEST(ProgramFile, SavingReplacesAnExistingFileOnlyWhenItSucceeds) {
  FixturePlugin plugin;
  Prepare(plugin, false);
  const Bytes saved = Join({Head("FxCk", 0, "Down 3"), kNormalisedValues});
  const Bytes old(100, 0x5A); // longer than the new file: no old tail may remain
  const ScratchFile file("replace.fxp");
  const std::string temporary = std::string(file.Path()) + ".tmp~";

  // A temporary file left by an interrupted save is taken over and removed.
  WriteFile(file.Path(), old);
  WriteFile(temporary, {1, 2, 3});
  ASSERT_TRUE(plugin.SaveProgramFile(file.Path()));
  EXPECT_EQ(ReadFile(file.Path()), saved);
  EXPECT_FALSE(Exists(temporary));

  // Each way to fail, set up and undone around one save.
  HANDLE holder = INVALID_HANDLE_VALUE;
  struct Case {
    const char* what;
    std::function<void()> arrange, undo;
  } cases[] = {
      {"the temporary name is taken by a folder", [&] { CreateDirectoryA(temporary.c_str(), nullptr); },
       [&] { RemoveDirectoryA(temporary.c_str()); }},
      {"the existing file is read-only", [&] { SetFileAttributesA(file.Path(), FILE_ATTRIBUTE_READONLY); },
       [&] { SetFileAttributesA(file.Path(), FILE_ATTRIBUTE_NORMAL); }},
      {"the existing file is open elsewhere and may not be deleted",
       [&] {
         holder = CreateFileA(file.Path(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
       },
       [&] { CloseHandle(holder); }},
  };
  for (const Case& c : cases) {
    WriteFile(file.Path(), old);
    c.arrange();
    EXPECT_FALSE(plugin.SaveProgramFile(file.Path())) << c.what;
    c.undo();
    EXPECT_EQ(ReadFile(file.Path()), old) << c.what;
    EXPECT_FALSE(Exists(temporary)) << c.what;
  }

  // With the obstacle gone the same save goes through.
  ASSERT_TRUE(plugin.SaveProgramFile(file.Path()));
  EXPECT_EQ(ReadFile(file.Path()), saved);
  EXPECT_FALSE(Exists(temporary));
}

TEST(ProgramFile, ProgramNamesAreCutToTheirField) {
  FixturePlugin plugin;
  Prepare(plugin, false);
  const ScratchFile file("names.fxp");

  // A full 28-byte field without a NUL is read whole.
  WriteFile(file.Path(), Join({Head("FxCk", 0, std::string(28, 'n')), kNormalisedValues}));
  ASSERT_TRUE(plugin.LoadProgramFile(file.Path()));
  EXPECT_EQ(plugin.PresetTitleAt(0), std::string(28, 'n'));

  // Saving keeps at most 27 bytes and a NUL, and does not split a character:
  // 26 ASCII bytes then a two-byte "é" that would end at byte 28.
  const std::string title = std::string(26, 'a') + "\xC3\xA9" + "tail";
  ASSERT_TRUE(plugin.ModifyCurrentPreset(title.c_str()));
  ASSERT_TRUE(plugin.SaveProgramFile(file.Path()));
  const Bytes saved = ReadFile(file.Path());
  ASSERT_EQ(saved.size(), 68u);
  EXPECT_EQ(Bytes(saved.begin() + 28, saved.begin() + 56), Name28(std::string(26, 'a')));

  const std::string fits = std::string(25, 'b') + "\xC3\xA9" + "tail"; // "é" ends at byte 27
  ASSERT_TRUE(plugin.ModifyCurrentPreset(fits.c_str()));
  ASSERT_TRUE(plugin.SaveProgramFile(file.Path()));
  const Bytes again = ReadFile(file.Path());
  ASSERT_EQ(again.size(), 68u);
  EXPECT_EQ(Bytes(again.begin() + 28, again.begin() + 56), Name28(std::string(25, 'b') + "\xC3\xA9"));

  // A title cut when it was stored is whole characters only, and so is the
  // file's name and the title read back from it.
  ASSERT_TRUE(plugin.ModifyCurrentPreset((std::string(261, 'a') + "\xC3\xA9").c_str()));
  EXPECT_EQ(plugin.PresetTitleAt(0), std::string(261, 'a'));
  ASSERT_TRUE(plugin.SaveProgramFile(file.Path()));
  const Bytes stored = ReadFile(file.Path());
  ASSERT_EQ(stored.size(), 68u);
  EXPECT_EQ(Bytes(stored.begin() + 28, stored.begin() + 56), Name28(std::string(27, 'a')));
  ASSERT_TRUE(plugin.LoadProgramFile(file.Path()));
  EXPECT_EQ(plugin.PresetTitleAt(0), std::string(27, 'a'));
}

TEST(ProgramFile, PathsAreUtf8) {
  FixturePlugin source;
  Prepare(source, true);
  const std::string path = TempPath("pr\xC3\xA9set \xE2\x99\xAA.fxp");
  ASSERT_TRUE(source.SaveProgramFile(path.c_str()));
  FixturePlugin target;
  target.SetUniqueCode(kCode);
  target.SetStateChunks(true);
  ASSERT_TRUE(target.LoadProgramFile(path.c_str()));
  EXPECT_EQ(target.Values(), (std::vector<double>{-3, 15, 37.25}));
  const std::wstring wide = L"pr\u00E9set \u266A.fxp";
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  EXPECT_EQ(_wremove((std::wstring(dir) + L"plugkit_" + wide).c_str()), 0); // the name Windows sees
}

TEST(Utf8File, ShortWritesAndFailedClosesAreFailures) {
  const ScratchFile scratch("io.bin");
  WriteFile(scratch.Path(), {1, 2, 3});
  const uint8_t data[16] = {};

  // Opened for reading: the write comes up short.
  EXPECT_FALSE(WriteAndClose(OpenUtf8File(scratch.Path(), "rb"), data, sizeof data));

  // The bytes sit in the stream's buffer until the close, whose flush fails.
  std::FILE* file = OpenUtf8File(scratch.Path(), "wb");
  ASSERT_NE(file, nullptr);
  static char buffer[4096];
  std::setvbuf(file, buffer, _IOFBF, sizeof buffer);
  _close(_fileno(file));
  EXPECT_FALSE(WriteAndClose(file, data, sizeof data));

  EXPECT_FALSE(WriteAndClose(nullptr, data, sizeof data));
}

TEST(Utf8File, ReadingStopsAtTheSizeLimit) {
  const ScratchFile file("limit.bin");
  WriteFile(file.Path(), Bytes(5000, 7));
  IStateBuffer out;
  EXPECT_FALSE(ReadAndClose(OpenUtf8File(file.Path(), "rb"), out, 4999));
  EXPECT_EQ(out.Size(), 0);
  EXPECT_TRUE(ReadAndClose(OpenUtf8File(file.Path(), "rb"), out, 5000));
  EXPECT_EQ(out.Size(), 5000);
  EXPECT_FALSE(ReadAndClose(nullptr, out, 10));
}

} // namespace
} // namespace plugkit::test
