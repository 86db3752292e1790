#pragma once
// The publisher's workplace: the tasks the signed-in user has published, twenty to a page, with the
// handler of each taken task, its state and countdown, and the publisher's side of the task
// lifecycle (delete an untaken task, extend the payment time or cancel the deal after the handler's
// payment deadline, mark shipped, confirm the review and complete), the handler's QQ, copying a task
// id and the task details. The task screen in the publisher's role (TaskScreen); a deletion has the
// dashboard reload its figures (requestDashboardRefresh).
#include "screens/tasks/TaskScreen.h"

class TfrmPublishedTaskManager : public TaskScreen {
    Q_OBJECT
public:
    explicit TfrmPublishedTaskManager(const Services& services, QWidget* parent = nullptr);

public slots:
    // Loads the page FCurrentPageIndex.
    void GetPublishedTaskList() { refresh(); }
    // The handler of the deferred reload after an action; fetches the page FCurrentPageIndex.
    void OnWM_GetPublishedTaskList() { refresh(); }
};
