#pragma once
// What the task screens (the hall, the taken and the published tasks) share: the trimming of typed
// text, the row icons, the lifecycle command with its outcome messages, and copying a task id.
#include "model/uAccountInput.h"
#include "model/uCommonVarConst.h"
#include "widgets/MenuHelpers.h"
#include "widgets/RemoteCall.h"

#include <QIcon>
#include <QString>

// Typed text as the input checks take it: without leading and trailing characters of code 32 or
// below (blanks, tabs, line breaks).
inline QString TrimText(const QString& text) { return TrimControls(text); }

// The two small row pictures of the task lists: 0 a document (column "ID"), 1 a shield.
QIcon TaskRowIcon(int index);

// The texts of one lifecycle action.
struct LifecycleTexts {
    QString question;        // asked first, Yes/No "提示"
    QString success;         // information box "提示"
    QString refusedPrefix;   // followed by returnmsg when the server answers returncode 0
    QString transportPrefix; // "...，请稍后再试！", followed by the channel's reason
};

// Sends one lifecycle command and reports its outcome: returncode 1 shows the success box and gives
// true once that box has closed; returncode 0 shows the refusal with the server's returnmsg; any
// other returncode shows nothing; a transport failure shows its error box. Only true asks the
// caller to reload. The question is the caller's (some actions ask for more before sending).
bool SendLifecycleCommand(const Services& services, QWidget* owner, TCommand command,
                          const std::vector<CommandValue>& values, const LifecycleTexts& texts);

// Puts the task id on the clipboard and confirms it with "已复制任务ID到剪切板！".
void CopyTaskIdToClipboard(const Services& services, QWidget* owner, const TTaskInfo& task);
