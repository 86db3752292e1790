#include "screens/tasks/ufrmPublishTask.h"

TfrmPublishTask::TfrmPublishTask(const TServices& services, QWidget* parent) : QDialog(parent), FServices(services) {
    setObjectName(QStringLiteral("frmPublishTask"));
    setWindowTitle(QStringLiteral("发布任务"));
}
