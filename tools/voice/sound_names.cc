#include "tools/voice/sound_names.h"

#include <utility>

namespace {

// Names of the printable characters 32..126.
constexpr const char* kAsciiNames[95] = {
    "espaço", "exclamação", "aspas", "cerquilha", "cifrão", "por cento",
    "e comercial", "apóstrofo", "abre parêntese", "fecha parêntese",
    "asterisco", "mais", "vírgula", "hífen", "ponto", "barra", "zero", "um",
    "dois", "três", "quatro", "cinco", "seis", "sete", "oito", "nove",
    "dois pontos", "ponto e vírgula", "menor que", "igual", "maior que",
    "interrogação", "arroba",
    // A..Z; a..z below share these names.
    "á", "bê", "cê", "dê", "é", "éfe", "gê", "agá", "i", "jota", "cá", "éle",
    "ême", "êne", "ó", "pê", "quê", "érre", "ésse", "tê", "u", "vê", "dáblio",
    "xis", "ípsilon", "zê",
    "abre colchete", "barra invertida", "fecha colchete", "circunflexo",
    "sublinhado", "acento grave",
    "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
    "", "", "", "", "", "", "",
    "abre chave", "barra vertical", "fecha chave", "til"};

// Names of the codes 128..255; empty for the unassigned ones. The accented
// letters (192..255) are named by their base letter and mark.
constexpr const char* kHighNames[128] = {
    "euro", "", "vírgula baixa", "florim", "aspas baixas", "reticências",
    "adaga", "adaga dupla", "circunflexo", "por mil", "ésse com caron",
    "aspa angular esquerda", "ó é ligados", "", "zê com caron", "", "",
    "aspa simples esquerda", "aspa simples direita", "aspas esquerdas",
    "aspas direitas", "marcador", "meia risca", "travessão", "til",
    "marca comercial", "ésse com caron", "aspa angular direita", "ó é ligados",
    "", "zê com caron", "ípsilon trema",
    "espaço fixo", "exclamação invertida", "centavo", "libra", "moeda",
    "iene", "barra interrompida", "parágrafo", "trema", "copyright",
    "ordinal feminino", "abre aspas angulares", "negação", "hífen opcional",
    "registrado", "mácron", "grau", "mais ou menos", "ao quadrado",
    "ao cubo", "acento agudo", "micro", "fim de parágrafo", "ponto médio",
    "cedilha", "sobrescrito um", "ordinal masculino",
    "fecha aspas angulares", "um quarto", "um meio", "três quartos",
    "interrogação invertida",
    // 192..223
    "á crase", "á agudo", "á circunflexo", "á til", "á trema", "á com anel",
    "á é ligados", "cê cedilha", "é grave", "é agudo", "é circunflexo",
    "é trema", "i grave", "i agudo", "i circunflexo", "i trema", "dê cortado",
    "êne til", "ó grave", "ó agudo", "ó circunflexo", "ó til", "ó trema",
    "vezes", "ó cortado", "u grave", "u agudo", "u circunflexo", "u trema",
    "ípsilon agudo", "thorn", "ésse duplo",
    // 224..255
    "á crase", "á agudo", "á circunflexo", "á til", "á trema", "á com anel",
    "á é ligados", "cê cedilha", "é grave", "é agudo", "é circunflexo",
    "é trema", "i grave", "i agudo", "i circunflexo", "i trema", "dê cortado",
    "êne til", "ó grave", "ó agudo", "ó circunflexo", "ó til", "ó trema",
    "dividido por", "ó cortado", "u grave", "u agudo", "u circunflexo",
    "u trema", "ípsilon agudo", "thorn", "ípsilon trema"};

// A word for each letter, as radio operators spell.
constexpr const char* kPhoneticNames[26] = {
    "á de amor",     "bê de bola",    "cê de casa",    "dê de dado",
    "é de escola",   "éfe de faca",   "gê de gato",    "agá de hotel",
    "i de igreja",   "jota de janela", "cá de quilo",  "éle de lua",
    "ême de mala",   "êne de navio",  "ó de ovo",      "pê de pato",
    "quê de queijo", "érre de rato",  "ésse de sapo",  "tê de tatu",
    "u de uva",      "vê de vaca",    "dáblio de web", "xis de xícara",
    "ípsilon de iate", "zê de zebra"};

// Number, date and time words: the file name the program forms (cut to 8
// characters, accents dropped) beside the word itself.
constexpr std::pair<const char*, const char*> kWords[] = {
    {"_zero", "zero"}, {"_um", "um"}, {"_uma", "uma"}, {"_dois", "dois"},
    {"_duas", "duas"}, {"_tres", "três"}, {"_quatro", "quatro"},
    {"_cinco", "cinco"}, {"_seis", "seis"}, {"_sete", "sete"},
    {"_oito", "oito"}, {"_nove", "nove"}, {"_dez", "dez"}, {"_onze", "onze"},
    {"_doze", "doze"}, {"_treze", "treze"}, {"_quatorz", "quatorze"},
    {"_quinze", "quinze"}, {"_dezesse", "dezesseis"},
    {"_dezeset", "dezessete"}, {"_dezoito", "dezoito"},
    {"_dezenov", "dezenove"}, {"_vinte", "vinte"}, {"_trinta", "trinta"},
    {"_quarent", "quarenta"}, {"_cinquen", "cinquenta"},
    {"_sessent", "sessenta"}, {"_setenta", "setenta"},
    {"_oitenta", "oitenta"}, {"_noventa", "noventa"}, {"_cem", "cem"},
    {"_cento", "cento"}, {"_duzento", "duzentos"}, {"_trezent", "trezentos"},
    {"_quatroc", "quatrocentos"}, {"_quinhen", "quinhentos"},
    {"_seiscen", "seiscentos"}, {"_setecen", "setecentos"},
    {"_oitocen", "oitocentos"}, {"_novecen", "novecentos"}, {"_mil", "mil"},
    {"_milhao", "milhão"}, {"_milhoes", "milhões"}, {"_bilhao", "bilhão"},
    {"_bilhoes", "bilhões"}, {"_trilhao", "trilhão"},
    {"_trilhoe", "trilhões"}, {"_quatril", "quatrilhões"},
    {"_quintil", "quintilhões"}, {"_e", "e"}, {"_de", "de"},
    {"_primeir", "primeiro"}, {"_hora", "hora"}, {"_horas", "horas"},
    {"_minuto", "minuto"}, {"_minutos", "minutos"}, {"_MENOS", "menos"},
    {"_Domingo", "domingo"}, {"_Segunda", "segunda"}, {"_Terca", "terça"},
    {"_Quarta", "quarta"}, {"_Quinta", "quinta"}, {"_Sexta", "sexta"},
    {"_Sabado", "sábado"}, {"_Janeiro", "janeiro"},
    {"_Feverei", "fevereiro"}, {"_Marco", "março"}, {"_Abril", "abril"},
    {"_Maio", "maio"}, {"_Junho", "junho"}, {"_Julho", "julho"},
    {"_Agosto", "agosto"}, {"_Setembr", "setembro"},
    {"_Outubro", "outubro"}, {"_Novembr", "novembro"},
    {"_Dezembr", "dezembro"},
    // The line editor's signals.
    {"_DEL", "apagou"}, {"_APFCPO", "apagou até o fim"},
    {"_APICPO", "apagou até o início"}, {"_CPOAPA", "campo apagado"},
    {"_FALACI", "eco ligado"}, {"_FALDLG", "eco desligado"},
    {"_VELOC", "qual velocidade?"},
    // Keys read back by the speed question and key echo.
    {"_8", "retrocesso"}, {"_9", "tab"}, {"_13", "enter"}, {"_27", "esc"}};

}  // namespace

std::vector<SpokenSound> letterSounds() {
  std::vector<SpokenSound> sounds;
  for (int c = 32; c < 256; ++c) {
    if (c == 127) continue;
    const char* name = c < 127 ? kAsciiNames[c - 32] : kHighNames[c - 128];
    if (c >= 'a' && c <= 'z') name = kAsciiNames[c - 'a' + 'A' - 32];
    if (*name == '\0') continue;
    sounds.push_back({"_" + std::to_string(c), name});
  }
  for (const auto& [name, text] : kWords) sounds.push_back({name, text});
  for (int i = 0; i < 26; ++i) {
    sounds.push_back({"_FON" + std::to_string('A' + i), kPhoneticNames[i]});
    sounds.push_back({"_FON" + std::to_string('a' + i), kPhoneticNames[i]});
  }
  return sounds;
}

std::vector<std::string> toneKeys() {
  return {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "#", "X"};
}
