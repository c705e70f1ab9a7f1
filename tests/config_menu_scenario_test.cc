// Command C end to end through the runner: the menu itself, personal data,
// registering, choosing and removing banks, the current bank's ledger file
// and print positions against the printed model; and the two ways another
// file could be written over as a ledger or by a statement.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/shared/codepage.h"
#include "tests/ledger_text.h"
#include "tests/runner_fixture.h"
#include "tests/test_files.h"

namespace {

using runnertest::contains;
using runnertest::inOrder;
using runnertest::Lines;
using runnertest::RunResult;
using testfiles::readAll;
using testfiles::writeFile;

namespace fs = std::filesystem;

std::string u8(const char* cp1252) { return plat::cp1252ToUtf8(cp1252); }
std::string said(const char* cp1252) { return "say " + u8(cp1252); }

// The file's lines without their CR LF ends.
Lines iniLines(const fs::path& path) {
  Lines lines = testfiles::readLines(path);
  for (std::string& line : lines) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
  }
  return lines;
}

// Every line of a settings file is a section, an entry or empty, and no
// section stands twice: nothing was written that reads back differently.
void expectWellFormed(const fs::path& path) {
  SCOPED_TRACE(path.filename().string());
  std::vector<std::string> sections;
  for (const std::string& line : iniLines(path)) {
    if (line.empty()) continue;
    if (line.front() == '[') {
      ASSERT_EQ(line.back(), ']') << line;
      const std::string name = line.substr(1, line.size() - 2);
      EXPECT_EQ(name.find(']'), std::string::npos) << line;
      EXPECT_FALSE(contains(sections, name)) << line;
      sections.push_back(name);
    } else {
      EXPECT_NE(line.find('='), std::string::npos) << line;
    }
  }
}

class ConfigMenuScenarioTest : public runnertest::RunnerFixture {
 protected:
  fs::path lumira() const { return configDir() / "LUMIRA.INI"; }
  fs::path program() const { return configDir() / "TALONIX.INI"; }
  RunResult runOk(const std::string& script) {
    RunResult r = run(script);
    EXPECT_EQ(r.code, 0) << r.errors;
    return r;
  }
};

TEST_F(ConfigMenuScenarioTest, MenuPersonalDataAndBanks) {
  // A long name with '=' stored before; a bank removed earlier whose
  // section, with its own layout, is still in the file.
  std::string longName;
  while (longName.size() < 255) longName += "Maria=Silva ";
  longName.resize(255);
  writeFile(lumira(), "[TALONIX]\r\nNome=" + longName + "\r\n");
  const std::string itauLedger = (workDir() / "itau.chq").string();
  writeFile(program(), "[Itau]\r\narquivoLanc=" + itauLedger +
                           "\r\nano4Digitos=N\r\nimprimeDeitado=S\r\nposValor=99,9\r\n");

  const RunResult r = runOk(
      "C Enter F1 "                       // bad key, help
      "Down Enter "                       // the popup's first item: personal data
      "Down \"MG=12\" Enter \"SSP\" Enter \"123.456.789-00\" Enter \"5555-0000\" Enter "
      "\"Rua A=10\" Enter \"Centro\" Enter \"Belo Horizonte\" Esc "
      "N \"  Caixa  \" Enter Enter "      // new bank, ledger name left empty
      "N \"Poupan]ca\" Enter N \"a=b\" Enter N \";x\" Enter N \"bancos\" Enter "
      "N \"\\\"Caixa\\\"\" Enter N Esc "
      "N \"Itau\" Enter "                 // registered before
      "B Down Down Enter "                // the second bank: Caixa
      "R Down Down Enter "                // remove Caixa, the current bank
      "C "                                // configure: there is no current bank
      "R Esc "
      "Esc E Esc");                       // a cheque: which bank?

  const Lines& s = r.speech;
  EXPECT_TRUE(inOrder(s, {said("O que deseja configurar?"),
                          said("Op\xE7\xE3o inv\xE1lida, aperte F1 para ajuda"),
                          said("As op\xE7\xF5" "es de configura\xE7\xE3o s\xE3o:"),
                          said("   R    remove um banco registrado"),
                          said("   ESC  fim das configura\xE7\xF5" "es")}));
  // The popup's items are heard; its first is personal data.
  EXPECT_TRUE(inOrder(s, {said("   P    altera dados pessoais"),
                          said("Use as setas para alterar os dados pessoais, ESC termina")}));

  const Lines family = iniLines(lumira());
  EXPECT_TRUE(inOrder(family, {"Nome=" + longName, "Identidade=MG=12", "Expedidor=SSP",
                               "CPF=123.456.789-00", "Telefone=5555-0000", "Endereco=Rua A=10",
                               "Bairro=Centro", "Cidade=Belo Horizonte"}));

  // Caixa: registered without its blanks, its ledger ".CHQ" in the
  // program's directory, with the opening entry.
  const Lines banks = iniLines(program());
  EXPECT_TRUE(inOrder(s, {said("Informe o nome do arquivo de registro (sugiro usar extens\xE3o .chq):"),
                          said("Banco atual: "), "say Caixa"}));
  EXPECT_TRUE(contains(banks, "[Caixa]"));
  EXPECT_TRUE(contains(banks, "arquivoLanc=" + (workDir() / ".CHQ").string()));
  EXPECT_EQ(readAll(workDir() / ".CHQ"), ledgertext::openingEntry());

  // Names the settings file would misread are refused, nothing written.
  EXPECT_EQ(r.count(said("Nome de banco inv\xE1lido, n\xE3o use ] nem =")), 5);
  for (const std::string& line : banks)
    EXPECT_TRUE(line.find("Poupan") == line.npos && line.find("a=b") == line.npos) << line;
  EXPECT_GE(r.count(said("Desistiu...")), 2);  // empty name; ESC in the list

  // Itau again: its old ledger and layout are kept.
  EXPECT_TRUE(contains(s, said("Aten\xE7\xE3o, este banco havia sido anteriormente cadastrado")));
  EXPECT_TRUE(inOrder(banks, {"arquivoLanc=" + itauLedger, "ano4Digitos=N", "posValor=99,9"}));
  EXPECT_FALSE(fs::exists(workDir() / "itau.chq"));

  // B chose Caixa; R removed it from the list (its section stays) and left
  // no current bank; C then asks for one instead of saving nowhere.
  EXPECT_TRUE(inOrder(s, {said("Use as setas para selecionar o banco, ESC termina"),
                          "say Caixa", said("Banco atual: "), "say Caixa",
                          said("Ok, configurado"),
                          said("Use as setas para selecionar o banco, ESC termina"),
                          said("Por favor, configure o banco atual"),
                          said("Por favor, configure o banco atual")}));
  EXPECT_EQ(r.count(said("Por favor, configure o banco atual")), 3);
  EXPECT_TRUE(contains(family, "BANCOATUAL="));
  EXPECT_TRUE(inOrder(banks, {"[Bancos]", "Banco do Brasil=", "Itau="}));
  EXPECT_FALSE(contains(banks, "Caixa="));
  EXPECT_TRUE(contains(banks, "[Caixa]"));
  expectWellFormed(lumira());
  expectWellFormed(program());
  EXPECT_EQ(s.back(), said("Fim do programa"));
}

TEST_F(ConfigMenuScenarioTest, CurrentBankLedgerAndPositions) {
  const std::string caixa = (workDir() / "caixa.chq").string();
  const std::string poupanca = (workDir() / "poupanca.chq").string();
  writeFile(lumira(), "[TALONIX]\r\nBANCOATUAL=Caixa\r\nNome=Maria\r\n");
  writeFile(program(), "[Bancos]\r\nCaixa=\r\nPoupanca=\r\n"
                       "[Caixa]\r\narquivoLanc=" + caixa +
                           "\r\nano4Digitos=S\r\nimprimeDeitado=S\r\najusteMM=3,4\r\n"
                           "posValor=100,5\r\nposExtenso1=1,1\r\n"
                           "[Poupanca]\r\narquivoLanc=" + poupanca + "\r\nano4Digitos=S\r\n");
  const std::string ledger = ledgertext::openingEntry();
  writeFile(workDir() / "caixa.chq", ledger);
  writeFile(workDir() / "poupanca.chq", ledger);
  const std::string notes = "Lembrar:\r\npagar a luz\r\nligar para o banco\r\n1\r\n2\r\n3\r\n"
                            "4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n";
  writeFile(workDir() / "notes.txt", notes);

  const RunResult r = runOk(
      "X \"poupanca.chq\" Enter "       // the other bank's ledger
      "C C S \"  notes.txt\" Enter "    // configure Caixa; its ledger becomes the notes
      "S Enter Enter S Enter 5 Esc "     // restore the factory values, 5 mm right
      "Enter Esc N "                     // the model's front; it is not right:
      "Down Enter Down Enter \"10\" Enter Esc "  // Valor 10 mm to the left
      "Enter Esc S Esc "                 // now it is
      "F "                               // browse the notes: not a ledger
      "C C N S Esc Enter Esc N Down Enter Esc Esc Enter Esc S "  // Valor again: no direction
      "C S Esc N "                       // no new ledger name; no printing
      "Esc Esc");
  const Lines& s = r.speech;

  // The statement would have replaced the savings account's ledger.
  EXPECT_TRUE(inOrder(s, {said("Informe o nome do arquivo TXT a gerar"),
                          said("Nome de arquivo incorreto")}));
  EXPECT_EQ(readAll(workDir() / "poupanca.chq"), ledger);

  const Lines banks = iniLines(program());
  EXPECT_TRUE(contains(banks, "arquivoLanc=" + (workDir() / "notes.txt").string()));
  // The restore overrode the 5 mm; Valor moved 10 mm to the left of the
  // factory 130.
  EXPECT_TRUE(inOrder(banks, {"ajusteMM=0,0", "posValor=120,0", "posExtenso1=26,6",
                              "posCruzamento=45,0", "fimCruzamento=35,30"}));
  EXPECT_TRUE(inOrder(s, {said("O nome do arquivo de lan\xE7" "amentos \xE9"), "say " + caixa,
                          said("Digite o novo nome do arquivo atual (use extens\xE3o .CHQ)"),
                          said("OK."), said("Restaura valores de f\xE1" "brica"),
                          said("O modelo foi impresso nas posi\xE7\xF5" "es corretas?"),
                          said("Selecione com as setas o campo desajustado e aperte enter"),
                          said("Atualmente "), "say 130", "say 0",
                          said("Selecione agora o deslocamento a realizar"),
                          said("Quantos mil\xEDmetros desloco ? "), said("OK."),
                          said("Posi\xE7\xF5" "es de impress\xE3o foram alteradas."),
                          said("O modelo foi impresso nas posi\xE7\xF5" "es corretas?"),
                          said("Ok, configurado")}));

  // The model at the factory positions, 600 dpi lying down, the 5 mm of
  // the form overridden; then with Valor 10 mm to the left; the crossing
  // lines at their factory places.
  std::vector<std::string> values;
  for (const std::string& line : r.print)
    if (line.find("x.xxx.xxx,xx") != std::string::npos) values.push_back(line);
  EXPECT_EQ(values, Lines({"text 3070 0 x.xxx.xxx,xx", "text 2834 0 x.xxx.xxx,xx",
                           "text 2834 0 x.xxx.xxx,xx", "text 2834 0 x.xxx.xxx,xx"}));
  EXPECT_TRUE(contains(r.print, "text 614 141 " + u8("zerentos milh\xF5" "es zerentos e zerenta e zero mil zerentos")));
  EXPECT_TRUE(contains(r.print, "line 1062 0 826 708"));

  // The notes are not read as entries, nor rewritten as a ledger.
  EXPECT_TRUE(inOrder(s, {said("Ok, configurado"),
                          said("Arquivo de lan\xE7" "amentos est\xE1 vazio ou n\xE3o foi achado.")}));
  EXPECT_EQ(readAll(workDir() / "notes.txt"), notes);
  EXPECT_EQ(readAll(workDir() / "caixa.chq"), ledger);

  // The moved point is what the next adjustment starts from.
  const Lines second = r.after(said("Atualmente "), 2);
  ASSERT_GE(second.size(), 2u);
  EXPECT_TRUE(inOrder(second, {"say 120", "say 0"}));
  // ESC for the new ledger name gives up and keeps the notes' name.
  EXPECT_TRUE(inOrder(s, {said("Digite o novo nome do arquivo atual (use extens\xE3o .CHQ)"),
                          said("Desistiu...")}));
  EXPECT_EQ(r.count(said("Ok, configurado")), 3);
  expectWellFormed(program());
}

}  // namespace
