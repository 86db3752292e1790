#include "screens/account/ufrmTradeLog.h"

TfrmTradeLog::TfrmTradeLog(const TServices& services, QWidget* parent) : QWidget(parent), FServices(services) {
    setObjectName(QStringLiteral("frmTradeLog"));
    setWindowTitle(QStringLiteral("交易记录"));
}
