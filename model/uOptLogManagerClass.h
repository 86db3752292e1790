#pragma once
// The operation-log store. It keeps nothing: the operation-log screen hands every record it reads
// to AddOptLog and clears it before a fetch, but both calls return without effect and each record
// stays owned by its list row.
#include "model/uCommonVarConst.h"

class TOptLogManagerClass {
public:
    void AddOptLog(POptLog AOptLog);
    void ClearOptLogInfo();
};

// The process-wide instance.
extern TOptLogManagerClass OptLogManager;
