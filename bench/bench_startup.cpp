// Cold start of the client up to its painted login dialog, run by hand (bench/figures): the
// client's own start-up (RunClient: single instance, process-wide settings, the login dialog, which
// is the first window built), ended as soon as the login dialog has been painted; the long-lived
// windows, built right after that painting, are not in the figure. Needs a display (Xvfb); talks to
// no server.
#include "bench/bench_paintexit.h"
#include "shell/Startup.h"

#include <QApplication>

int main(int argc, char** argv) {
    AfterFirstPaint exitWhenPainted = ExitWhenPainted("TfrmLogin");
    return RunClient(argc, argv, [&](QApplication& app) { app.installEventFilter(&exitWhenPainted); });
}
