// Issuing cheques end to end through the runner and its virtual 600-dpi
// printer: what is printed where, what the ledger records, and what
// happens when the user gives up or the printer fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/shared/codepage.h"
#include "tests/ledger_text.h"
#include "tests/runner_fixture.h"
#include "tests/test_files.h"

namespace {

namespace fs = std::filesystem;
using runnertest::contains;
using runnertest::Lines;
using runnertest::RunResult;

std::string u8(const char* cp1252) { return plat::cp1252ToUtf8(cp1252); }

const std::string kDashes(40, '-');

class ChequeScenarioTest : public runnertest::RunnerFixture {
 protected:
  void SetUp() override {
    RunnerFixture::SetUp();
    testfiles::writeFile(
        configDir() / "LUMIRA.INI",
        "[TALONIX]\r\nNome=Jos\xE9 Pereira\r\nIdentidade=123\r\nExpedidor=SSP\r\n"
        "CPF=111.222.333-44\r\nTelefone=5555\r\nEndereco=Rua A, 1\r\n"
        "Bairro=Centro\r\nCidade=Recife\r\n");
  }
  fs::path ledger() const { return workDir() / "brasil.chq"; }
  RunResult issue(const std::string& script, std::vector<std::string> extra = {}) {
    extra.insert(extra.end(), {"--now", "2024-03-05T10:00"});
    RunResult r = run("\"e\"\n" + script + "\nEsc\n", extra);
    EXPECT_EQ(r.code, 0) << r.errors;
    return r;
  }
  // The entries after the opening one, nine lines each.
  std::vector<std::string> recorded() const {
    std::vector<std::string> lines = testfiles::readLines(ledger());
    for (std::string& line : lines)
      if (!line.empty() && line.back() == '\r') line.pop_back();
    return lines.size() > 9 ? std::vector<std::string>(lines.begin() + 9, lines.end())
                            : std::vector<std::string>{};
  }
  // Replaces one stored setting line of the program's settings file.
  void replaceSetting(const std::string& from, const std::string& to) {
    std::string text = testfiles::readAll(configDir() / "TALONIX.INI");
    const size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    testfiles::writeFile(configDir() / "TALONIX.INI", text);
  }
};

TEST_F(ChequeScenarioTest, PrintedAtTheLayoutRecordedAndNumberedLyingDownAndUpright) {
  // Lying down, crossed, with every field filled in and both sides.
  RunResult r = issue(
      "\"1234,56\" Enter \"Maria da Silva\" Enter Enter Enter \"s\" Enter"
      " \"aluguel\" Enter \"AB\" Enter \"000123\" Esc\n"
      "Esc \"s\" Enter Enter");
  const Lines lyingDown = {
      "startdoc Frente do Cheque",
      "font escapement 0 height 120 width 60 weight 700 Courier New",
      "startpage",
      "text 3070 0 1.234,56",
      "text 614 141 Mil e duzentos e trinta e quatro reais e cinquenta e seis ",
      "text 188 283 centavos",
      "text 188 425 Maria da Silva",
      "text 1653 590 Recife",
      "text 2551 590 05",
      u8("text 2952 590 Mar\xE7o"),
      "text 3708 590 2024",
      "pen width 9",
      "line 1062 0 826 708",
      "pen width 9",
      "line 1181 0 944 708",
      "endpage",
      "enddoc",
      "startdoc Verso do Cheque",
      "font escapement 0 height 120 width 60 weight 700 Courier New",
      "startpage",
      "text 1200 120 aluguel",
      "text 1200 240 Favorecido: Maria da Silva",
      u8("text 1200 360 Emitente: Jos\xE9 Pereira"),
      "text 1200 480 Ident.: 123 - SSP",
      "text 1200 600 CPF: 111.222.333-44",
      "text 1200 720 Telefone: 5555",
      "text 1200 840 Rua A, 1",
      "text 1200 960 Centro - Recife",
      "endpage",
      "enddoc"};
  EXPECT_EQ(r.print, lyingDown);
  EXPECT_EQ(recorded(), (Lines{"05/03/2024", "Cheque", "1234,56", "D", "AB", "000123",
                              "Maria da Silva", "aluguel", kDashes}));
  EXPECT_TRUE(r.said("say Valor impresso"));

  // Upright with a two-digit year: every text turned, the payee left
  // empty prints nothing, ESC at the back records the front alone. The
  // number offered is the one after the last cheque's; ESC typed during
  // the adjustment message skips the adjustment form.
  replaceSetting("imprimeDeitado=S", "imprimeDeitado=N");
  replaceSetting("ano4Digitos=S", "ano4Digitos=N");
  r = issue("\"150\" { Esc Esc }\n\"s\" Enter Esc");
  ASSERT_GE(r.print.size(), 6u);
  EXPECT_EQ(r.print[1], "font escapement 0 height 120 width 60 weight 700 Courier New");
  EXPECT_EQ(r.print[3], "font escapement 900 height 120 width 60 weight 700 Courier New");
  EXPECT_TRUE(contains(r.print, "text 0 944 150,00"));
  EXPECT_TRUE(contains(r.print, "text 141 3401 Cento e cinquenta reais"));
  EXPECT_TRUE(contains(r.print, "text 590 307 24"));
  EXPECT_FALSE(contains(r.print, "startdoc Verso do Cheque"));
  EXPECT_EQ(std::count_if(r.print.begin(), r.print.end(),
                          [](const std::string& l) { return l.rfind("text ", 0) == 0; }),
            6);  // no second line in words, no payee
  EXPECT_FALSE(r.said("say Valor impresso"));
  const Lines second = recorded();
  ASSERT_EQ(second.size(), 18u);
  EXPECT_EQ(Lines(second.begin() + 9, second.end()),
            (Lines{"05/03/2024", "Cheque", "150,00", "D", "AB", "000124", "", "", kDashes}));
}

TEST_F(ChequeScenarioTest, GivingUpOrAFailingPrinterRecordsOnlyAPrintedFront) {
  const std::string cheque = "\"10\" Enter \"Ana\" Esc Esc \"s\" ";
  // ESC at the front prompt: nothing printed, nothing recorded.
  RunResult r = issue(cheque + "Esc");
  EXPECT_TRUE(r.said("say Desistiu..."));
  EXPECT_TRUE(r.print.empty());
  EXPECT_TRUE(recorded().empty());

  // Not answering yes to the print question.
  r = issue(cheque.substr(0, cheque.size() - 4) + "\"n\"");
  EXPECT_TRUE(r.said("say Desistiu..."));
  EXPECT_TRUE(recorded().empty());

  // No default printer, a failing StartDoc, a front lost at EndDoc.
  r = issue(cheque + "Enter", {"--printer-fault", "missing"});
  EXPECT_TRUE(r.said(u8("say Modo selecionado para a impressora n\xE3o \xE9 adequado.")));
  r = issue(cheque + "Enter", {"--printer-fault", "startdoc"});
  EXPECT_TRUE(r.said("say Erro ao abrir a impressora."));
  EXPECT_EQ(r.print, (Lines{"startdoc failed Frente do Cheque"}));
  r = issue(cheque + "Enter", {"--printer-fault", "enddoc:1"});
  EXPECT_TRUE(r.said(u8("say A impress\xE3o n\xE3o chegou \xE0 impressora.")));
  EXPECT_TRUE(recorded().empty());

  // The back fails after the front was printed: the cheque exists on
  // paper, so it is recorded, and the user hears that the back failed.
  r = issue(cheque + "Enter Enter", {"--printer-fault", "back"});
  EXPECT_TRUE(contains(r.print, "startdoc failed Verso do Cheque"));
  EXPECT_TRUE(r.said("say Erro ao abrir a impressora."));
  EXPECT_TRUE(r.said(u8("say O verso do cheque n\xE3o foi impresso.")));
  const Lines entries = recorded();
  ASSERT_EQ(entries.size(), 9u);
  EXPECT_EQ(entries[2], "10,00");
  EXPECT_EQ(entries[6], "Ana");

  // A ledger that is a short note: no cheque is printed, since it could
  // not be recorded, and browsing neither reads nor rewrites the note.
  const std::string note = "Lembrar:\r\npagar a luz\r\n";
  testfiles::writeFile(ledger(), note);
  r = issue("");
  EXPECT_TRUE(r.said(u8("say Lan\xE7" "amento n\xE3o foi registrado.  Erro no arquivo de lan\xE7" "amentos.")));
  EXPECT_FALSE(r.said(u8("say Preencha os dados a seguir para pr\xE9-edi\xE7\xE3o do cheque.")));
  r = run("F Esc Esc");
  EXPECT_TRUE(r.mentions("vazio ou n"));
  EXPECT_EQ(testfiles::readAll(ledger()), note);

  // Without a printer the model cannot print, yet its positions can still
  // be moved by their millimetres in C.
  r = run("C C N S Esc Enter N Down Enter Down Enter \"10\" Enter Esc Esc S Esc Esc",
          {"--printer-fault", "missing"});
  EXPECT_EQ(r.count(u8("say O modelo foi impresso nas posi\xE7\xF5" "es corretas?")), 2);
  EXPECT_NE(testfiles::readAll(configDir() / "TALONIX.INI").find("posValor=120,0"),
            std::string::npos);
}

TEST_F(ChequeScenarioTest, BadValuesAndDatesAreHeardAndTheLongestAmountSplitsAtABlank) {
  // A thousands dot and a day April lacks: both heard; "n" gives up.
  RunResult r = issue("\"1.500,00\" Enter Enter Enter \"31/04/2025\" Esc \"n\"");
  EXPECT_TRUE(r.said(u8("say Data inv\xE1lida")));
  EXPECT_TRUE(r.said(u8("say Valor inv\xE1lido, n\xE3o use pontos.  Use v\xEDrgula e 2 d\xEDgitos nos centavos.")));
  EXPECT_TRUE(r.print.empty());

  // Corrected after "s": thirty characters of value fail again, then the
  // largest amount is accepted and its words split at a blank. The payee
  // typed again in the adjustment form, fifty characters, is the one the
  // front prints and the ledger records.
  const std::string payee(50, 'P');
  r = issue("\"1.500,00\" Esc \"s\" \"" + std::string(30, '9') + "\" Esc \"s\" "
            "\"9999999999999,99\" Enter \"Ana\" Esc "
            "Enter Enter Enter Enter Enter Enter Enter \"" + payee + "\" Esc "
            "\"s\" Enter Esc");
  EXPECT_EQ(r.count("say Desistiu..."), 0);
  EXPECT_TRUE(contains(r.print, "text 3070 0 9.999.999.999.999,99"));
  EXPECT_TRUE(contains(r.print, u8("text 614 141 Nove trilh\xF5" "es novecentos e noventa e nove bilh\xF5" "es")));
  EXPECT_TRUE(contains(r.print, u8("text 188 283 novecentos e noventa e nove milh\xF5" "es novecentos e "
                                   "noventa e nove mil e novecentos e noventa e nove reais e "
                                   "noventa e nove centavos")));
  EXPECT_TRUE(contains(r.print, "text 188 425 " + payee));
  const Lines entries = recorded();
  ASSERT_EQ(entries.size(), 9u);
  EXPECT_EQ(entries[2], "9999999999999,99");
  EXPECT_EQ(entries[6], payee);
}

}  // namespace
