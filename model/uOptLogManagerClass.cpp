#include "model/uOptLogManagerClass.h"

TOptLogManagerClass OptLogManager;

void TOptLogManagerClass::AddOptLog(POptLog) {}

void TOptLogManagerClass::ClearOptLogInfo() {}
