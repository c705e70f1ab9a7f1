// Stand-ins for the commands whose modules are not built yet. Each says
// aloud that it is not available, so nothing pretends to work.
#include "app/commands.h"

#include "console/console.h"
#include "speech/speech.h"

namespace {

void notYet(const char* what) {
  writeLineSpeak(std::string(what) +
                 " ainda n\xE3o est\xE1 dispon\xEDvel nesta vers\xE3o.");
}

}  // namespace

// Stand-in until cheque issuing is built.
void issueCheque() { notYet("A emiss\xE3o de cheques"); }
