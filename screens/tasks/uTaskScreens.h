#pragma once
// What the task screens (the hall, the taken and the published tasks) share: the trimming of typed
// text, building a context menu and tidying its separators, the row and menu icons, the lifecycle
// command with its outcome messages, and copying a task id.
#include "model/uAccountInput.h"
#include "model/uCommonVarConst.h"
#include "remote/uRemoteCall.h"

#include <QIcon>
#include <QString>

class QAction;
class QMenu;

// A menu item with its object name, and optionally an icon of ToolIcon and a hint.
QAction* AddMenuItem(QMenu* menu, const char* name, const QString& caption, int icon = -1, const QString& hint = {});
// A submenu whose menu and item both carry `name`.
QMenu* AddSubmenu(QMenu* menu, const char* name, const QString& caption);

// Typed text as the input checks take it: without leading and trailing characters of code 32 or
// below (blanks, tabs, line breaks).
inline QString TrimText(const QString& text) { return TrimControls(text); }

// Shows a separator only between two visible items: never first, never last, never two in a row.
// Every other separator of `menu` is hidden. Call after the items' visibility is settled.
void TidySeparators(QMenu* menu);

// The menu icons of the task screens, by their index in the shared tool picture list.
QIcon ToolIcon(int index);

// The two small row pictures of the task lists: 0 a document (column "ID"), 1 a shield.
QIcon TaskRowIcon(int index);

// The texts of one lifecycle action.
struct TLifecycleTexts {
    QString question;        // asked first, Yes/No "提示"
    QString success;         // information box "提示"
    QString refusedPrefix;   // followed by returnmsg when the server answers returncode 0
    QString transportPrefix; // "...，请稍后再试！", followed by the channel's reason
};

// Sends one lifecycle command and reports its outcome: returncode 1 shows the success box and gives
// true once that box has closed; returncode 0 shows the refusal with the server's returnmsg; any
// other returncode shows nothing; a transport failure shows its error box. Only true asks the
// caller to reload. The question is the caller's (some actions ask for more before sending).
bool SendLifecycleCommand(const TServices& services, QWidget* owner, TCommand command,
                          const std::vector<TCommandValue>& values, const TLifecycleTexts& texts);

// Puts the task id on the clipboard and confirms it with "已复制任务ID到剪切板！".
void CopyTaskIdToClipboard(const TServices& services, QWidget* owner, const TTaskInfo& task);
