#include "screens/tasks/ufrmHandledTaskManager.h"

TfrmHandledTaskManager::TfrmHandledTaskManager(const TServices& services, QWidget* parent) : QWidget(parent), FServices(services) {
    setObjectName(QStringLiteral("frmHandledTaskManager"));
    setWindowTitle(QStringLiteral("已接手任务管理"));
}
