#include "screens/tasks/ufrmPublishedTaskManager.h"

TfrmPublishedTaskManager::TfrmPublishedTaskManager(const TServices& services, QWidget* parent) : QWidget(parent), FServices(services) {
    setObjectName(QStringLiteral("frmPublishedTaskManager"));
    setWindowTitle(QStringLiteral("已发布任务管理"));
}
