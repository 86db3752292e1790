// The client's whole start-up (RunClient), in its own process: the login dialog is the first window
// and is painted before any long-lived window exists; the long-lived windows are built right after
// that painting, while the dialog still waits for the user, and none of them is shown before the
// login. Ends the process itself with its verdict once it has seen that (or after 20 s).
#include "shell/Startup.h"
#include "shell/ufrmAbout.h"
#include "shell/ufrmLogin.h"
#include "shell/ufrmMain.h"
#include "shell/ufrmNotice.h"

#include <QApplication>
#include <QEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace {
QTemporaryDir* RuntimeFolder = nullptr; // removed on the way out: the process ends with _Exit

template <class TWindow> TWindow* topLevel() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<TWindow*>(widget)) return window;
    return nullptr;
}

[[noreturn]] void finish(bool passed, const char* what) {
    std::printf("%s: %s\n", passed ? "PASS" : "FAIL", what);
    std::fflush(nullptr);
    if (RuntimeFolder) RuntimeFolder->remove();
    std::_Exit(passed ? 0 : 1); // the login dialog is modal and would only end the process itself
}

class StartupWatch : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (FLoginPainted || event->type() != QEvent::Paint || !watched->isWidgetType()) return false;
        QWidget* window = static_cast<QWidget*>(watched)->window();
        if (!qobject_cast<TfrmLogin*>(window)) finish(false, "the first window painted is not the login dialog");
        FLoginPainted = true;
        if (topLevel<TfrmMain>() || topLevel<TfrmNotice>() || topLevel<TfrmAbout>())
            finish(false, "long-lived windows were built before the login dialog was painted");
        FLogin = window;
        auto* poll = new QTimer(this);
        connect(poll, &QTimer::timeout, this, [this] { check(); });
        poll->start(10);
        return false;
    }

private:
    void check() {
        TfrmMain* main = topLevel<TfrmMain>();
        if (!main || !topLevel<TfrmNotice>() || !topLevel<TfrmAbout>()) return; // not yet
        if (!FLogin->isVisible()) finish(false, "the login dialog went away before the windows were built");
        if (main->isVisible() || topLevel<TfrmNotice>()->isVisible())
            finish(false, "a long-lived window is shown before the login");
        finish(true, "login painted first, long-lived windows built while it waits, none shown");
    }

    bool FLoginPainted = false;
    QWidget* FLogin = nullptr;
};
} // namespace

int main(int argc, char** argv) {
    // The single-instance lock lives in the runtime folder: one of this run's own.
    QTemporaryDir runtime;
    if (!runtime.isValid()) finish(false, "no temporary folder");
    RuntimeFolder = &runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());
    StartupWatch watch;
    RunClient(argc, argv, [&](QApplication& app) {
        app.installEventFilter(&watch);
        QTimer::singleShot(20000, &app, [] { finish(false, "timed out waiting for the start-up"); });
    });
    finish(false, "the client's loop ended on its own");
}
