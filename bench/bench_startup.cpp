// Cold start of the client up to its painted login dialog, run by hand (bench/figures):
// the client's own start-up (single instance, process-wide settings, the long-lived windows, the
// main window's first showing that opens the login dialog), ended as soon as the login dialog has
// been painted. Needs a display (Xvfb); talks to no server.
#include "bench/bench_paintexit.h"
#include "remote/Prompter.h"
#include "remote/uRemoteCall.h"
#include "shell/uSingleInstance.h"
#include "shell/uStartup.h"
#include "shell/ufrmMain.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv) {
    TSingleInstance instance;
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("quorvane-client"));
    app.setApplicationVersion(QStringLiteral(QUORVANE_VERSION_TEXT));
    TExitWhenPainted exitWhenPainted("TfrmLogin");
    app.installEventFilter(&exitWhenPainted);
    ApplyProcessWideSettings(app);
    if (!instance.acquire()) return 1;
    app.setQuitOnLastWindowClosed(false);

    QtPrompter prompter;
    DesktopLinkOpener links;
    SystemClock clock;
    const TServices services{prompter, links, clock, TChannelSettings()};
    TLongLivedWindows windows(services, instance);
    QTimer::singleShot(0, windows.frmMain.get(), &TfrmMain::FormShow);
    return app.exec();
}
