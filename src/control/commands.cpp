// Commands whose work lives in later parts of the program. Until then they say so.
#include "common/error.h"
#include "control/form1_model.h"

namespace pqwave {

namespace {

void notAvailable(Form1Host& host, const std::string& command) {
    host.reportError(ErrorKind::NotAvailable, command + " is not available in this version of pqwave");
}

}  // namespace

void Form1Model::Command2_Click() {
    notAvailable(*host_, "波形表示");
}
void Form1Model::Command4_Click() {
    notAvailable(*host_, "ﾍﾞｸﾄﾙ表示");
}

}  // namespace pqwave
