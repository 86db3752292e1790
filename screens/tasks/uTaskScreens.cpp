#include "screens/tasks/uTaskScreens.h"

#include "widgets/udmResource.h"

#include <QApplication>
#include <QClipboard>
#include <QStyle>

QIcon TaskRowIcon(int index) { return StandardIcon(index == 0 ? QStyle::SP_FileIcon : QStyle::SP_DialogApplyButton); }

bool SendLifecycleCommand(const Services& services, QWidget* owner, TCommand command,
                          const std::vector<CommandValue>& values, const LifecycleTexts& texts) {
    const auto reply = SendCommand(services, owner, command, values, texts.transportPrefix);
    if (!reply) return false;
    if (reply->done()) {
        ShowHint(services.prompter, owner, texts.success);
        return true;
    }
    if (reply->code == 0)
        ShowRefusal(services.prompter, owner, texts.refusedPrefix, RequireReturnMsg(reply->msg),
                    MessageIcon::Information);
    return false;
}

void CopyTaskIdToClipboard(const Services& services, QWidget* owner, const TTaskInfo& task) {
    QApplication::clipboard()->setText(task.Ftaskid);
    ShowHint(services.prompter, owner, QStringLiteral("已复制任务ID到剪切板！"));
}
