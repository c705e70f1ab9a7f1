// The diphone synthesizer over a tiny database whose units are runs of one
// sample value each, so the sound heard shows which units played, in which
// order and for how long.
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/shared/riff.h"
#include "synth/diphone_synth.h"
#include "synth/speech_settings.h"
#include "tests/speech_fixture.h"
#include "tests/test_files.h"
#include "tests/wave_test_util.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::vector<uint8_t>> played;

void capture(const uint8_t* image) {
  const uint32_t n = plat::get32(image + 40);
  EXPECT_EQ(plat::get32(image + 4), n + 36);
  played.emplace_back(image + 44, image + 44 + n);
}

struct Unit {
  std::string name;
  uint16_t length;
  uint8_t value;
  int64_t offset = -1;  // -1: where its run lies in the data file
};

// Sample values and how many of each in a row.
using Runs = std::vector<std::pair<int, size_t>>;

class DiphoneSynthTest : public speechtest::SpeechFixture {
 protected:
  void SetUp() override {
    SpeechFixture::SetUp();
    played.clear();
    setDiphoneImagePlayer(&capture);
    speechSettings().databaseName = "DIFONES2";
    familySettings({"[TRADUTOR]", "DIRLETRAS=" + letters().string(),
                    "DIRDIFONES=" + units().string()});
    fs::create_directories(letters());
    testfiles::writeFile(units() / "regras.rgr", "");
    testfiles::writeFile(units() / "portug.exc", "");
  }

  fs::path letters() const { return root_ / "voz" / "letras"; }
  fs::path units() const { return root_ / "voz" / "difones"; }

  // DIFONES2 holding the units in the order given, so an unsorted list
  // gives an unsorted index; `tail` is appended to the index file.
  void database(const std::vector<Unit>& list, const std::string& tail = "") {
    std::string data, index;
    for (const Unit& u : list) {
      uint8_t record[15] = {static_cast<uint8_t>(u.name.size())};
      u.name.copy(reinterpret_cast<char*>(record + 1), 8);
      plat::put16(record + 9, u.length);
      plat::put32(record + 11, static_cast<uint32_t>(u.offset < 0 ? data.size() : u.offset));
      index.append(reinterpret_cast<char*>(record), 15);
      if (u.offset < 0) data.append(u.length, static_cast<char>(u.value));
    }
    testfiles::writeFile(units() / "DIFONES2.IND", index + tail);
    testfiles::writeFile(units() / "DIFONES2.DIF", data);
  }

  static std::vector<uint8_t> heard() {
    std::vector<uint8_t> all;
    for (const auto& piece : played) all.insert(all.end(), piece.begin(), piece.end());
    return all;
  }
  static Runs runs() {
    Runs out;
    for (uint8_t v : heard()) {
      if (out.empty() || out.back().first != v) out.emplace_back(v, 0);
      ++out.back().second;
    }
    return out;
  }
  Runs spoken(std::string_view groups) {
    played.clear();
    speakDiphoneGroups(groups, false);
    return runs();
  }
};

TEST_F(DiphoneSynthTest, GroupsBecomeUnitsCutAndJoinedInOrder) {
  // Out of order on purpose: the index is sorted when it is read.
  database({{"$S", 500, 40}, {"$KSA", 1000, 10}, {"$BA", 1000, 20},
            {"$BO", 300, 30}, {"$PA", 1000, 50}, {"$K", 500, 60},
            {"$I", 200, 70}, {"$A", 100, 80}, {"$BACIRC", 500, 175},
            {"$ACIRC", 500, 3}, {"$NN", 1000, 4}, {"$AWTIL", 1000, 5}, {"$PACIRC", 1000, 6}});
  wavetest::WavShape shape;
  shape.extraChunk = wavetest::listChunk();
  wavetest::writeBytes(letters() / "_120.wav",
                       wavetest::makeWav(std::vector<uint8_t>(256, 200), shape));
  ASSERT_EQ(startDiphoneSynth(), 0);

  // "ks" stays together; unstressed units of 3 characters lose the cut
  // (a 300-byte one all of it), stressed ones and 1-2 character ones play
  // whole; a group ended by "]" is followed by the group gap; a missing
  // "$KI" is "$K" at 0.9 and "$I"; "as" is "a" at 0.7 and "s".
  EXPECT_EQ(spoken("[ ksa/ ba/ bo] [ pA/ ki/ as/ ba^]"),
            (Runs{{10, 600}, {20, 600}, {128, 100}, {50, 1000}, {60, 450},
                  {70, 200}, {80, 70}, {40, 500}, {175, 100}}));
  // A spelled x plays its recording; a comma is 4000 samples of silence,
  // and the gap follows its "]" when more text comes.
  EXPECT_EQ(spoken("[ /_x][ /_,][ /_x]"),
            (Runs{{200, 256}, {128, 4200}, {200, 256}}));
  // No pauses: the comma's recording instead, which is missing: silence.
  played.clear();
  speakDiphoneGroups("[ /_,]", true);
  EXPECT_TRUE(played.empty());

  // A minimum keeps cut units at least that long, unless shorter already.
  setDiphoneTuning(400, 500, 0);
  EXPECT_EQ(spoken("[ ba] [ bo]"), (Runs{{20, 600}, {30, 300}}));
  // A cut from the settings that would lengthen units cannot reach into
  // the next unit's samples.
  setDiphoneTuning(-5000, -10, 100);
  EXPECT_EQ(spoken("[ ba]"), (Runs{{20, 1000}}));

  // "pa~w": the closed "pa^" at 0.6, then the vowel-glide-nasal unit. A
  // missing "$PATIL": "$PACIRC" at 0.9 in full (stress mode 2), then the
  // nasal murmur at 0.9, cut.
  setDiphoneTuning(400, 0, 100);
  EXPECT_EQ(spoken("[ pa~w]"), (Runs{{6, 360}, {5, 600}}));
  EXPECT_EQ(spoken("[ pa~]"), (Runs{{6, 900}, {4, 540}}));
  // A missing "$DACIRC": "$D" and "$ACIRC"; a missing 1-2 character name
  // is 300 samples of noise.
  const Runs closed = spoken("[ da^]");
  ASSERT_FALSE(closed.empty());
  EXPECT_EQ(closed.back(), (std::pair<int, size_t>{3, 100}));
  EXPECT_EQ(heard().size(), 400u);
  spoken("[ q]");
  const std::vector<uint8_t> noise = heard();
  ASSERT_EQ(noise.size(), 300u);
  for (uint8_t v : noise) EXPECT_TRUE(v >= 88 && v <= 167) << int{v};
}

TEST_F(DiphoneSynthTest, LongTextsPlayInPiecesEachAfterThePrevious) {
  database({{"$ZA", 30000, 220}});
  ASSERT_EQ(startDiphoneSynth(), 0);
  spoken("[ zA][ zA][ zA]");
  ASSERT_EQ(played.size(), 2u);
  EXPECT_EQ(played[0].size(), 60200u);
  EXPECT_EQ(played[1].size(), 30000u);

  // Through the speech layer's player: each piece starts once the one
  // before has ended.
  setDiphoneImagePlayer(&playSoundImage);
  speakDiphoneGroups("[ zA][ zA][ zA]", false);
  const auto& device = platform_->waveCaptures();
  ASSERT_EQ(device.size(), 2u);
  EXPECT_GE(device[1].startUs, device[0].endUs);

  // A key while the first piece plays stops it; the rest passes without
  // sound and the key stays queued.
  std::vector<plat::Event> events;
  plat::headless::typedCharEvents('a', &events);
  for (const plat::Event& e : events) platform_->postEventAt(platform_->tickMs() + 500, e);
  speakDiphoneGroups("[ zA][ zA][ zA][ zA][ zA]", false);
  ASSERT_EQ(device.size(), 3u);
  EXPECT_LT(device[2].playedBytes, device[2].data.size());
  EXPECT_TRUE(keyAvailable());
}

TEST_F(DiphoneSynthTest, StartFailsWithoutItsFilesAndStaysSilent) {
  EXPECT_EQ(startDiphoneSynth(), 1);  // no database yet
  database({{"$A", 100, 2}});
  speechSettings().databaseName = "";
  EXPECT_EQ(startDiphoneSynth(), 1);
  speechSettings().databaseName = "DIFONES2";
  fs::remove(units() / "portug.exc");
  EXPECT_EQ(startDiphoneSynth(), 2);
  speakDiphoneGroups("[ a]", false);
  EXPECT_TRUE(played.empty());
  testfiles::writeFile(units() / "portug.exc", "");
  EXPECT_EQ(startDiphoneSynth(), 0);
  fs::remove_all(letters());
  EXPECT_EQ(startDiphoneSynth(), 1);
  // Without a units directory setting, the installation tree's.
  familySettings({"[TRADUTOR]", "DIRLETRAS=" + units().string()});
  EXPECT_EQ(startDiphoneSynth(), 0);
  endDiphoneSynth();
  endDiphoneSynth();
}

TEST_F(DiphoneSynthTest, BadFilesAndTextsAreReadSafely) {
  // Trailing bytes after the last whole record; one unit running past the
  // end of the data and one lying beyond it.
  database({{"$O", 100, 9}, {"$E", 100, 8}, {"$U", 900, 7, 150}, {"$I", 50, 6, 5000}},
           "\x03$XY");
  ASSERT_EQ(startDiphoneSynth(), 0);
  EXPECT_EQ(spoken("[ o e u i]"), (Runs{{9, 100}, {8, 150}}));

  // Character sounds with lying headers.
  wavetest::WavShape huge;
  huge.dataLengthField = 0xFFFFFFFF;
  wavetest::writeBytes(letters() / "_65.wav", wavetest::makeWav(std::vector<uint8_t>(100, 1), huge));
  std::vector<uint8_t> noData = wavetest::makeWav({});
  noData.resize(36);
  wavetest::writeBytes(letters() / "_66.wav", noData);
  std::vector<uint8_t> longChunk = wavetest::makeWav({});
  plat::put32(longChunk.data() + 16, 1u << 30);
  wavetest::writeBytes(letters() / "_67.wav", longChunk);
  wavetest::writeBytes(letters() / "_68.wav", wavetest::makeWav(std::vector<uint8_t>(70000, 3)));
  EXPECT_EQ(spoken("[_A _B _C]"), (Runs{{1, 100}}));
  EXPECT_EQ(spoken("[_D]"), (Runs{{3, 63956}}));

  // Every byte, runs of marks, a "_" at the very end, tokens of any length
  // and a text of 100 000 characters: no crash, no read outside a buffer.
  std::string text;
  for (int c = 0; c < 256; ++c) text += static_cast<char>(c);
  text += "[[[[////////////////" + std::string(60, 'a') + "/" + std::string(60, 'b') + "_";
  speakDiphoneGroups(text, false);
  std::mt19937 random(9);
  std::string big(100000, ' ');
  for (char& c : big) c = "[]/_ abkw^~AEsy,"[random() % 16];
  speakDiphoneGroups(big, false);
  speakDiphoneGroups(big, true);
  EXPECT_FALSE(played.empty());
}

}  // namespace
