#pragma once
// The handler's workplace: the tasks the signed-in user has taken, twenty to a page, with their
// states and countdowns, and the handler's side of the task lifecycle (confirm payment, step back,
// confirm receipt and review, cancel after the payment deadline), the publisher's QQ, copying a task
// id and the task details. The task screen in the handler's role (TaskScreen).
#include "screens/tasks/TaskScreen.h"

class TfrmHandledTaskManager : public TaskScreen {
    Q_OBJECT
public:
    explicit TfrmHandledTaskManager(const Services& services, QWidget* parent = nullptr);

public slots:
    // Loads the page FCurrentPageIndex.
    void GetHandledTaskList() { refresh(); }
    // The handler of the deferred reload after an action; fetches the page FCurrentPageIndex.
    void OnWM_GetHandledTaskList() { refresh(); }
};
