#pragma once
// The client's start-up: single instance, process-wide settings, the long-lived windows, the loop.
#include "widgets/RemoteCall.h"

#include <functional>
#include <memory>

class QApplication;
class SingleInstance;
class TfrmAbout;
class TfrmHandledTaskManager;
class TfrmMain;
class TfrmNotice;
class TfrmOptLog;
class TfrmPublishedTaskManager;
class TfrmTaskCenter;
class TfrmTradeLog;
class TfrmWaitForProcessDone;
class TfrmWelcome;

// Loads Qt's own Chinese texts, the theme and a font that renders Chinese; sets the process-wide
// date-time form.
void ApplyProcessWideSettings(QApplication& app);

// The windows that live from start-up to the end of the program, created in this order (the main
// window first) and destroyed in the reverse order, the main window last.
struct LongLivedWindows {
    std::unique_ptr<TfrmMain> frmMain;
    std::unique_ptr<TfrmHandledTaskManager> frmHandledTaskManager;
    std::unique_ptr<TfrmPublishedTaskManager> frmPublishedTaskManager;
    std::unique_ptr<TfrmWaitForProcessDone> frmWaitForProcessDone; // never shown
    std::unique_ptr<TfrmNotice> frmNotice;
    std::unique_ptr<TfrmOptLog> frmOptLog;
    std::unique_ptr<TfrmTradeLog> frmTradeLog;
    std::unique_ptr<TfrmTaskCenter> frmTaskCenter;
    std::unique_ptr<TfrmWelcome> frmWelcome;
    std::unique_ptr<TfrmAbout> frmAbout;

    LongLivedWindows(const Services& services, SingleInstance& instance);
    ~LongLivedWindows();
};

// The whole run of the client. `started`, when given, is called once the application object exists
// and its process-wide settings are made, before any window (the start-up benchmark watches the
// first painting with it).
int RunClient(int argc, char** argv, const std::function<void(QApplication&)>& started = {});
