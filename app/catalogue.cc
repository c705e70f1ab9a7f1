// The message catalogue: every text the program speaks, by identifier.
#include "app/catalogue.h"

#include "console/console.h"
#include "speech/speech.h"

namespace {

struct Message {
  const char* identifier;
  const char* text;
};

// In catalogue order; an identifier that stands twice is found first where
// it stands first.
const Message kCatalogue[] = {
    {"CHINIC", "Talonix - vers\xE3o "},
    {"CHBANATU", "Banco atual: "},
    {"CHOPCAO", "Sua op\xE7\xE3o: "},
    {"CHF1AJUD", "Aperte F1 se precisar de ajuda."},
    {"CHFIM", "Fim do programa"},
    {"CHAJUD0", "As op\xE7\xF5" "es s\xE3o:"},
    {"CHAJUD1", "   C  configurar"},
    {"CHAJUD2", "   E  emitir cheque"},
    {"CHAJUD3", "   L  lan\xE7" "amento banc\xE1rio"},
    {"CHAJUD4", "   F  folhear lan\xE7" "amentos"},
    {"CHAJUD5", "   X  gera extrato dos lan\xE7" "amentos"},
    {"CHAJUD9", "   ESC  fim"},
    {"CHOPCONF", "O que deseja configurar?"},
    {"CHAJC0", "As op\xE7\xF5" "es de configura\xE7\xE3o s\xE3o:"},
    {"CHAJC1", "   P    altera dados pessoais"},
    {"CHAJC2", "   N    registra novo banco"},
    {"CHAJC3", "   B    troca banco atual"},
    {"CHAJC4", "   C    altera a configura\xE7\xE3o do banco atual"},
    {"CHAJC5", "   R    remove um banco registrado"},
    {"CHAJC9", "   ESC  fim das configura\xE7\xF5" "es"},
    {"CHOKCONF", "Ok, configurado"},
    {"CHALTPES", "Use as setas para alterar os dados pessoais, ESC termina"},
    {"CHSEMREG", "Nenhum banco foi registrado"},
    {"CHCNFNOV", "Por favor, configure o banco atual"},
    {"CHSELBNK", "Use as setas para selecionar o banco, ESC termina"},
    {"CHEXECAD", "Dados est\xE3o incompletos, atualize seus dados pessoais"},
    {"CHDESIST", "Desistiu..."},
    {"CHNOVBNK", "Informe o nome do novo banco"},
    {"CHPREVRG", "Aten\xE7\xE3o, este banco havia sido anteriormente cadastrado"},
    {"CHAJUSP", "Ajustando posi\xE7\xF5" "es de escrita."},
    {"CHREGUA", "Algu\xE9m vai ajud\xE1-lo a medir com uma r\xE9gua."},
    {"CHPRECHE", "Preencha os dados a seguir para pr\xE9-edi\xE7\xE3o do cheque."},
    {"CHCAMPOB", "Os campos com * s\xE3o opcionais, por\xE9m desej\xE1veis."},
    {"CHINIMPR", "Posso iniciar a impress\xE3o? "},
    {"CHOPINV", "Op\xE7\xE3o inv\xE1lida, aperte F1 para ajuda"},
    {"CHVERERR", "Quer corrigir os erros e tentar de novo? "},
    {"CHREEDIT", "Reveja os campos do cheque."},
    {"CHDATERR", "Campo data est\xE1 com erro, aperte enter"},
    {"CHVALERR", "Campo valor est\xE1 com erro, aperte enter"},
    {"CHDCERR", "Campo d\xE9" "bito/cr\xE9" "dito est\xE1 com erro, aperte enter"},
    {"CHVALINV", "Valor inv\xE1lido, n\xE3o use pontos.  Use v\xEDrgula e 2 d\xEDgitos nos centavos."},
    {"CHDATINV", "Data inv\xE1lida"},
    {"CHFRENT", "Coloque a frente do cheque na impressora e aperte ENTER"},
    {"CHVERSO", "Coloque o verso do cheque na impressora e aperte ENTER para imprimir"},
    {"CHVERSO2", "ESC n\xE3o quiser dados no verso"},
    {"CHAJUSTE", "\xDAltimos ajustes, edite como vai ser impresso"},
    {"CHPREFOR", "Preencha o formul\xE1rio com o lan\xE7" "amento a registrar"},
    {"CHCAMOPC", "Os campos com * s\xE3o opcionais"},
    {"CHOKLANC", "Ok, lan\xE7" "ado"},
    {"CHLANNAO", "Lan\xE7" "amento n\xE3o foi registrado.  Nome do arquivo n\xE3o foi definido."},
    {"CHLANERR", "Lan\xE7" "amento n\xE3o foi registrado.  Erro no arquivo de lan\xE7" "amentos."},
    {"CHARQNDF", "Nome do arquivo de lan\xE7" "amentos n\xE3o foi definido."},
    {"CHARQERR", "Arquivo de lan\xE7" "amentos est\xE1 vazio ou n\xE3o foi achado."},
    {"CHLANREG", "Lan\xE7" "amento foi registrado"},
    {"CHLANNAT", "Erro no arquivo de lan\xE7" "amentos."},
    {"CHAJFL00", "Op\xE7\xF5" "es de folheamento:"},
    {"CHAJFL01", "E - editar"},
    {"CHAJFL02", "R - remover lan\xE7" "amento"},
    {"CHAJFL03", "N - novo lan\xE7" "amento"},
    {"CHAJFL04", "S - saldo final"},
    {"CHAJFL05", "F5 - procura um lan\xE7" "amento"},
    {"CHAJFL06", "CTL F5 - procura pr\xF3ximo"},
    {"CHAJFL09", "ESC - termina"},
    {"CHEABIMP", "Erro ao abrir a impressora."},
    {"CHERESOL", "Modo selecionado para a impressora n\xE3o \xE9 adequado."},
    {"CHPOSALT", "Posi\xE7\xF5" "es de impress\xE3o foram alteradas."},
    {"CHMODOK", "O modelo foi impresso nas posi\xE7\xF5" "es corretas?"},
    {"CHATUALM", "Atualmente "},
    {"CHINFARQ", "Informe o nome do arquivo de registro (sugiro usar extens\xE3o .chq):"},
    {"CHCNFREM", "Confirma remo\xE7\xE3o? "},
    {"CHSALFIN", "Saldo final: "},
    {"CHTXTBUS", "Qual o texto buscado? "},
    {"CHNAOACH", "N\xE3o achou"},
    {"CHACHOU", "Achou"},
    {"CHTERESC", "Termine com ESC"},
    {"CHPFMESC", "Preencha o formul\xE1rio a seguir, termine com ESC"},
    {"CHESCDSJ", "Selecione com as setas o campo desajustado e aperte enter"},
    {"CHSELDSL", "Selecione agora o deslocamento a realizar"},
    {"CHOK", "OK."},
    {"CHESQ", "Esquerda"},
    {"CHDIR", "Direita"},
    {"CHCIMA", "Cima"},
    {"CHBAIXO", "Baixo"},
    {"CHNOME", "Nome"},
    {"CHIDENT", "Identidade"},
    {"CHEXPEDI", "Expedidor"},
    {"CHCPF", "CPF"},
    {"CHTELEFO", "Telefone"},
    {"CHENDERE", "Endere\xE7o"},
    {"CHBAIRRO", "Bairro"},
    {"CHCIDADE", "Cidade"},
    {"CHARQLAN", "Nome do Arquivo Lan\xE7" "amento"},
    {"CHANO4", "Escreve ano com 4 digitos"},
    {"CHIMPDEI", "Imprime cheque deitado"},
    {"CHRESTAU", "Restaura valores de f\xE1" "brica"},
    {"CHMILDIR", "Mil\xEDmetros para a direita"},
    {"CHMILBAI", "Mil\xEDmetros para baixo"},
    {"CHDATA", "Data"},
    {"CHTIPDOC", "Tipo do documento"},
    {"CHVALDOC", "Valor"},
    {"CHDEBCRE", "D\xE9" "bito ou cr\xE9" "dito?"},
    {"CHNUMSER", "*N\xFAmero de S\xE9rie"},
    {"CHNUMDOC", "*N\xFAmero do documento"},
    {"CHFAVDOC", "*Favorecido"},
    {"CHFINDOC", "*Finalidade"},
    {"CHVALOR", "Valor"},
    {"CHFAVORE", "Favorecido"},
    {"CHCIDEMI", "Cidade de emiss\xE3o"},
    {"CHDATEMI", "Data da emiss\xE3o"},
    {"CHCHCRUZ", "Cheque \xE9 cruzado"},
    {"CHFINALI", "*Finalidade"},
    {"CHSERCHQ", "*S\xE9rie do cheque"},
    {"CHNUMCHQ", "*N\xFAmero do cheque"},
    {"CHEXT1", "Primeiro n\xFAmero extenso"},
    {"CHEXT2", "Segundo n\xFAmero extenso"},
    {"CHDIA", "Dia"},
    {"CHMES", "M\xEAs"},
    {"CHANO", "Ano"},
    {"CHCRUZ1", "In\xED" "cio do cruzamento"},
    {"CHCRUZ2", "Fim do cruzamento"},
    {"CHDESAJU", "Selecione com as setas o campo desajustado e aperte enter"},
    {"CHSELDSL", "Selecione agora o deslocamento a realizar"},
    {"CHINFMIL", "Quantos mil\xEDmetros desloco ? "},
    {"CHQTXT", "Informe o nome do arquivo TXT a gerar"},
    {"CHARQINC", "Nome de arquivo incorreto"},
    {"CHARQNCR", "Arquivo n\xE3o p\xF4" "de ser criado."},
    {"CHARQATU", "O nome do arquivo de lan\xE7" "amentos \xE9"},
    {"CHDESALT", "Deseja trocar de arquivo? "},
    {"CHDIGNOM", "Digite o novo nome do arquivo atual (use extens\xE3o .CHQ)"},
    {"CHCNFPOS", "Quer configurar a impress\xE3o? "},
    {"CHCNFIMP", "Configura\xE7\xE3o da impress\xE3o"},
    {"CHCNFLAN", "Confirma lan\xE7" "amento? "},
    {"CHBNKINV", "Nome de banco inv\xE1lido, n\xE3o use ] nem ="},
};

}  // namespace

int catalogueSize() { return sizeof kCatalogue / sizeof kCatalogue[0]; }

const char* catalogueIdentifier(int index) {
  if (index < 0 || index >= catalogueSize()) return "";
  return kCatalogue[index].identifier;
}

std::string messageText(std::string_view identifier) {
  for (const Message& m : kCatalogue) {
    if (identifier == m.identifier) return m.text;
  }
  return std::string("--> Mensagem inv\xE1lida: ") + std::string(identifier);
}

void speakMessage(std::string_view identifier, int lineEnds) {
  const std::string text = messageText(identifier);
  if (lineEnds >= 0) writeText(text);
  for (int i = 0; i < lineEnds; ++i) writeLineEnd();
  const std::string name(identifier);
  // A recording that cannot be played (a broken file) must not leave the
  // message unheard.
  if (!soundExists(name) || !speakSound(name)) speakText(text);
}
