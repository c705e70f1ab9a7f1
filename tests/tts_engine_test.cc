// The Portuguese engine's text side as the program and the tool use it:
// where it finds its files, the start with each of its failures, broken and
// huge data files, and texts of every kind turned into valid synthesizer
// lines with the two factors applied.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "speech_fixture.h"
#include "synth/engine_location.h"
#include "synth/family_settings.h"
#include "tests/test_files.h"
#include "tts/engine_text.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class TtsEngine : public speechtest::SpeechFixture {
 protected:
  fs::path kit() const { return workDir() / "share" / "tarvek" / "vireatts"; }

  // The shipped data files copied into the kit, where the engine looks.
  EngineFiles installData() {
    fs::create_directories(kit());
    for (const char* ext : {"nrl", "exc", "abr", "pro", "dfn"}) {
      fs::copy_file(fs::path(TALONIX_SOURCE_DIR) / "data" / "tts" / (std::string("portug.") + ext),
                    kit() / (std::string("portug.") + ext), fs::copy_options::overwrite_existing);
    }
    const std::string dir = kit().string() + "/portug.";
    return {dir + "nrl", dir + "exc", dir + "dfn", dir + "pro", dir + "abr"};
  }
  void replace(const std::string& name, const std::string& bytes) {
    std::ofstream(kit() / name, std::ios::binary) << bytes;
  }
  // Every line a synthesizer takes: empty, a comment, or a symbol with its
  // milliseconds and at most one target of a position and a frequency.
  static bool valid(const std::string& line) {
    if (line.empty() || line[0] == ';') return true;
    std::istringstream in(line);
    std::string symbol;
    long ms = -1, position = -1, hertz = -1;
    in >> symbol >> ms;
    if (symbol.empty() || symbol.size() > 2 || ms < 0 || in.fail()) return false;
    if (in >> position) {
      if (!(in >> hertz) || position < 0 || position > 100 || hertz < 0) return false;
    }
    std::string rest;
    return !(in >> rest);
  }
};

TEST_F(TtsEngine, ItsFilesAreFoundThroughSettingsRegistryOrKit) {
  EngineLocation l = readEngineLocation();
  EXPECT_EQ(l.database, "br4");
  const char sep = plat::system().pathSeparator();
#ifdef _WIN32
  EXPECT_EQ(l.directory, "\\tarvek\\vireatts\\");  // no kit beside the program
#else
  EXPECT_EQ(l.directory, tarvekDirectory() + "vireatts/");
#endif
  EXPECT_EQ(l.rulesFile, l.directory + "portug.nrl");
  EXPECT_EQ(l.definitionsFile, l.directory + "portug.dfn");

  // The database's registry value names its own folder.
  platform_->setRegistryText("SOFTWARE\\TCTS\\Mbrola\\databases\\BR4\\", "C:\\voices\\br4");
  EXPECT_EQ(readEngineLocation().directory, "C:\\voices\\");
  EXPECT_EQ(readEngineLocation().abbreviationsFile, "C:\\voices\\portug.abr");

  writeIni(configDir() / "LUMIRA.INI",
           {"[VIREATTS]", "MBROLA_DB=br3", "DIR=/dados/voz", "BASE=teste"});
  resetProgramState();
  l = readEngineLocation();
  EXPECT_EQ(l.database, "br3");
  EXPECT_EQ(l.directory, std::string("/dados/voz") + sep);
  EXPECT_EQ(l.prosodyFile, l.directory + "teste.pro");
  EXPECT_EQ(l.exceptionsFile, l.directory + "teste.exc");
}

TEST_F(TtsEngine, StartReportsEachBrokenFile) {
  const EngineFiles files = installData();
  ASSERT_TRUE(engineLoadTables(files));
  EXPECT_TRUE(engineTextState().ready);

  const std::string box = "box ";
  struct Case {
    const char* file;
    std::string bytes;  // empty: the file is removed
    const char* error;
    const char* message;  // the box shown, or nullptr
  };
  const std::string good = "[DURA\xC7\xC3O]\na=80\n[CHAVES]\nDE=PR\n[PROS\xD3" "DIA]\nHERTZ=230\n"
                           "TABHERTZ=70,78,85,92,96,100,108,118,132,150\n";
  const Case cases[] = {
      {"portug.nrl", "", "Erro na base de dados de portugu\xEAs", nullptr},
      {"portug.exc", "", "Erro na base de dados de portugu\xEAs", nullptr},
      {"portug.abr", "", "Erro no arquivo de abreviaturas", nullptr},
      {"portug.pro", "", "Erro no arquivo de pros\xF3" "dia",
       "Configura\xE7\xE3o da pros\xF3" "dia n\xE3o foi achada"},
      {"portug.pro", "[CHAVES]\nDE=PR\n", "Erro no arquivo de pros\xF3" "dia",
       "Dura\xE7\xE3o dos difones errada ou ausente"},
      {"portug.pro", "[DURA\xC7\xC3O]\na=80\n[PROS\xD3" "DIA]\n", "Erro no arquivo de pros\xF3" "dia",
       "Pros\xF3" "dia: palavras chaves ausentes"},
      {"portug.pro", good + "\x01\xFF binary\n", "Erro no arquivo de pros\xF3" "dia",
       "Configura\xE7\xE3o da pros\xF3" "dia: chave errada: \x01\xFF binary"},
      {"portug.dfn", "", "Erro no arquivo de pros\xF3" "dia", nullptr},
  };
  for (const Case& c : cases) {
    installData();
    if (c.bytes.empty()) fs::remove(kit() / c.file);
    else replace(c.file, c.bytes);
    forget();
    EXPECT_FALSE(engineLoadTables(files)) << c.file << " " << c.bytes;
    EXPECT_EQ(engineTextState().lastError, c.error);
    const Lines h = heard();
    EXPECT_EQ(h.empty() ? "" : h.back(), c.message ? box + c.message : "") << c.bytes;
  }

  // Huge files, binary bytes and lines past every limit load (what is past a
  // table's room is left), and the engine still speaks.
  std::string huge, binary;
  for (int i = 0; i < 100000; ++i) huge += "W" + std::to_string(i) + "=ABC\n";
  for (int i = 0; i < 20; ++i) huge += std::string(2000, 'Q') + "=" + std::string(2000, 'A') + "\n";
  for (int c = 0; c < 256; ++c) binary += static_cast<char>(c);
  const std::string longRule = std::string(40, 'L') + "(" + std::string(40, 'T') + ")" +
                               std::string(40, 'R') + "=" + std::string(40, 'o') + "\n";
  for (const char* file : {"portug.nrl", "portug.exc", "portug.abr", "portug.dfn"}) {
    installData();
    replace(file, huge + binary + "\n" + longRule);
    EXPECT_TRUE(engineLoadTables(files)) << file << ": " << engineTextState().lastError;
    for (const std::string& line : enginePhonemeLines("Ol\xE1, 123 R$ 4,50.")) {
      EXPECT_TRUE(valid(line)) << file << ": " << line;
    }
  }
  installData();
  std::string longPro = good;
  for (int i = 0; i < 100000; ++i) longPro.insert(13, "x" + std::to_string(i % 90) + "=70\n");
  replace("portug.pro", longPro);
  EXPECT_TRUE(engineLoadTables(files)) << engineTextState().lastError;
}

TEST_F(TtsEngine, TextsBecomeValidLinesWithTheFactorsApplied) {
  ASSERT_TRUE(engineLoadTables(installData()));
  EXPECT_TRUE(enginePhonemeLines(" \t\r\n\x01 ").empty());

  const Lines lines = enginePhonemeLines("Pague R$ 1.234,56 em 12/03/2025.");
  std::string comments;
  for (const std::string& line : lines) {
    EXPECT_TRUE(valid(line)) << line;
    if (!line.empty() && line[0] == ';') comments += line + " ";
  }
  EXPECT_EQ(comments,
            "; ;Pague ;mil ;e ;duzentos ;e ;trinta ;e ;quatro ;reais ;e ;cinq\xFC" "enta ;e ;seis "
            ";centavos ;em ;doze ;de ;mar\xE7o ;de ;dois ;mil ;e ;vinte ;e ;cinco ;. ; ");
  ASSERT_GE(lines.size(), 4u);
  EXPECT_EQ(lines[1].substr(0, 2), "_ ");  // the sentence starts with a pause

  // Speed 0 and pitch 11 of the settings: 0.8 of each duration, twice the pitch.
  const auto first = [](const Lines& ls, const std::string& symbol) {
    for (const std::string& l : ls)
      if (l.rfind(symbol + " ", 0) == 0) return l;
    return std::string();
  };
  const std::string plain = first(enginePhonemeLines("Casa."), "k");
  engineSetFactors(2.0, 0.8);
  const std::string scaled = first(enginePhonemeLines("Casa."), "k");
  int ms1 = 0, pos1 = 0, hz1 = 0, ms2 = 0, pos2 = 0, hz2 = 0;
  ASSERT_EQ(std::sscanf(plain.c_str(), "k %d %d %d", &ms1, &pos1, &hz1), 3) << plain;
  ASSERT_EQ(std::sscanf(scaled.c_str(), "k %d %d %d", &ms2, &pos2, &hz2), 3) << scaled;
  EXPECT_EQ(ms2, ms1 * 8 / 10);
  EXPECT_EQ(hz2, 2 * hz1);

  // Bad texts: long, every byte, a run of 500 digits.
  std::string every;
  for (int c = 1; c < 256; ++c) every += static_cast<char>(c);
  for (const std::string& text :
       {std::string(100000, 'a'), every + every, std::string(500, '7'),
        std::string(50000, ' ') + "fim", std::string(3000, '.') + "R$" + std::string(40, '9')}) {
    const Lines out = enginePhonemeLines(text);
    EXPECT_FALSE(out.empty());
    for (const std::string& line : out) ASSERT_TRUE(valid(line)) << line.substr(0, 40);
  }
}

#ifndef _WIN32
// The tool: the terminal's UTF-8 or Windows-1252 in, UTF-8 out, and a
// plain refusal of a voice that is not there.
TEST(TtsTool, NormalisesAndTranscribesFromTheCommandLine) {
  const std::string tool = std::string(TALONIX_TTS_PATH) + " --data " + TALONIX_SOURCE_DIR +
                           "/data/tts ";
  const auto run = [](const std::string& command) {
    std::string out;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    const int status = pclose(pipe);
    return std::make_pair(WEXITSTATUS(status), out);
  };
  auto [code, out] = run("LANG=C.UTF-8 " + tool + "--normalised 'Dr. Jo\xC3\xA3o, 14h30:  R$ 2,50'");
  EXPECT_EQ(code, 0);
  EXPECT_EQ(out, "doutor Jo\xC3\xA3o, quatorze horas e trinta minutos : dois reais e cinq\xC3\xBC"
                 "enta centavos\n");
  std::tie(code, out) = run("printf 'S\\343o\\nfim\\n' | LANG=C.UTF-8 " + tool + "--pho -");
  EXPECT_EQ(code, 0);
  EXPECT_NE(out.find(";S\xC3\xA3o\n"), std::string::npos) << out;
  EXPECT_NE(out.find(";fim\n"), std::string::npos) << out;
  const std::string wav = (fs::temp_directory_path() / "talonix-tts-oi.wav").string();
  std::tie(code, out) = run(tool + "--voice /nowhere.voz --wav " + wav + " oi");
  EXPECT_EQ(code, 1);
  EXPECT_NE(out.find("cannot open the voice"), std::string::npos) << out;
#ifdef TALONIX_OWN_VOICE_FILE
  std::tie(code, out) = run(tool + "--voice " TALONIX_OWN_VOICE_FILE " --wav " + wav + " 'Saldo.'");
  EXPECT_EQ(code, 0) << out;
  std::ifstream in(wav, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  ASSERT_GT(bytes.size(), 44u + 8000u);  // at least a quarter second
  EXPECT_EQ(bytes.substr(0, 4), "RIFF");
  EXPECT_EQ(static_cast<uint8_t>(bytes[40]) | static_cast<uint8_t>(bytes[41]) << 8 |
                static_cast<uint8_t>(bytes[42]) << 16 | static_cast<uint8_t>(bytes[43]) << 24,
            static_cast<int>(bytes.size() - 44));
#endif
  std::tie(code, out) = run(std::string(TALONIX_TTS_PATH) + " --data /nowhere oi");
  EXPECT_EQ(code, 1);
  EXPECT_NE(out.find("Erro na base de dados de portugu\xC3\xAAs"), std::string::npos) << out;
}
#endif

}  // namespace
