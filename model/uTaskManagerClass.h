#pragma once
// The task store and the six task readers.
//
// The store owns the task records of the three task screens, one dictionary per screen keyed by
// Ftaskid (exact, case-sensitive text). It is only filled and cleared: a screen clears its
// dictionary together with its lists before every fetch, then reads the reply into it. The lists,
// menus and dialogs keep copies of the records (or their task ids), never a pointer into the store,
// which a reload may clear at any time. Used on the user-interface thread only.
#include "model/uCommonVarConst.h"

#include <QString>
#include <functional>
#include <memory>
#include <unordered_map>

// The three dictionaries, one per task screen.
enum TaskDictionary {
    tdTaskCenter, // the task hall
    tdHandled,    // the taken tasks
    tdPublished,  // the published tasks
};

class TTaskManagerClass {
public:
    using TDictionary = std::unordered_map<QString, std::unique_ptr<TTaskInfo>>;

    TTaskManagerClass() = default;
    TTaskManagerClass(const TTaskManagerClass&) = delete;
    TTaskManagerClass& operator=(const TTaskManagerClass&) = delete;

    // Takes ownership of the record and files it under its Ftaskid. A task id already present in
    // that dictionary throws EReadError("Duplicates not allowed") and the record is disposed.
    // Returns the stored record.
    PTaskInfo Add(TaskDictionary dictionary, std::unique_ptr<TTaskInfo> task);
    // Disposes every record of the dictionary; pointers to them are dangling afterwards.
    void Clear(TaskDictionary dictionary);
    const TDictionary& Dictionary(TaskDictionary dictionary) const;

    PTaskInfo AddTaskCenterTaskInfo(std::unique_ptr<TTaskInfo> task) { return Add(tdTaskCenter, std::move(task)); }
    PTaskInfo AddHandledTaskInfo(std::unique_ptr<TTaskInfo> task) { return Add(tdHandled, std::move(task)); }
    PTaskInfo AddPublishedTaskInfo(std::unique_ptr<TTaskInfo> task) { return Add(tdPublished, std::move(task)); }
    void ClearTaskCenterTaskInfo() { Clear(tdTaskCenter); }
    void ClearHandledTaskInfo() { Clear(tdHandled); }
    void ClearPublishedTaskInfo() { Clear(tdPublished); }

private:
    TDictionary& dictionaryRef(TaskDictionary dictionary);

    TDictionary FdtTaskCenterTaskInfo;
    TDictionary FdtHandledTaskInfo;
    TDictionary FdtPublishedTaskInfo;
};

// The process-wide store of the task screens.
extern TTaskManagerClass TaskManager;

// The six readers of task list and search replies; each reads its own groups of members and files
// the records in its screen's dictionary.
enum TaskReader {
    trHallPage,        // cmGetTaskCenterList
    trHallSearch,      // cmSearchTaskCenter
    trHandledPage,     // cmGetHandledTaskList
    trHandledSearch,   // cmSearchHandledTask
    trPublishedPage,   // cmGetPublishedTaskList
    trPublishedSearch, // cmSearchPublishedTask
};

// The dictionary a reader fills.
TaskDictionary ReaderDictionary(TaskReader reader);

// Reads one task object into `task`, member by member in the reader's order. Throws EReadError
// on a missing or unconvertible member; the fields read before it keep their values.
void ReadTaskInfo(const ReplyObject& object, TaskReader reader, TTaskInfo& task);

// Reads every task object of the reply's "msgbody" in order (non-objects skipped), adds each record
// to the reader's dictionary of `store` and then hands the stored record to `onTask` (to add its
// list row, a copy). A reading failure or a duplicate task id throws EReadError and stops there; the
// records and rows added before stay.
void ReadTaskList(const ReplyObject& reply, TaskReader reader, TTaskManagerClass& store,
                  const std::function<void(const TTaskInfo&)>& onTask = {});
