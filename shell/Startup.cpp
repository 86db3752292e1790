#include "shell/Startup.h"

#include "model/uTaskManagerClass.h"
#include "screens/account/ufrmOptLog.h"
#include "screens/account/ufrmTradeLog.h"
#include "screens/account/ufrmWelcome.h"
#include "screens/tasks/ufrmHandledTaskManager.h"
#include "screens/tasks/ufrmPublishedTaskManager.h"
#include "screens/tasks/ufrmTaskCenter.h"
#include "shell/AfterFirstPaint.h"
#include "shell/SingleInstance.h"
#include "shell/ufrmAbout.h"
#include "shell/ufrmLogin.h"
#include "shell/ufrmMain.h"
#include "shell/ufrmNotice.h"
#include "widgets/Prompter.h"
#include "widgets/udmResource.h"
#include "widgets/ufrmWaitForProcessDone.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>
#include <cstdlib>

// The resources live in a static library: their registration must be pulled in by name.
static void InitResources() { Q_INIT_RESOURCE(resources); }

void ApplyProcessWideSettings(QApplication& app) {
    InitResources();
    // Chinese texts and the platform's numbers; every date-time the program writes or reads from a
    // reply goes through the one fixed form of remote/uReply.h ("yyyy-MM-dd hh:mm:ss"), whatever
    // the user's regional settings.
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
    // The first of these families that is installed; resolved when text is first drawn. (Asking the
    // font database for its family list instead loads every installed font at start-up.)
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")});
    font.setPixelSize(12);
    app.setFont(font);
    QFile theme(QStringLiteral(":/theme.qss"));
    if (theme.open(QIODevice::ReadOnly)) app.setStyleSheet(QString::fromUtf8(theme.readAll()));
    app.setWindowIcon(ProgramIcon());
}

LongLivedWindows::LongLivedWindows(const Services& services, SingleInstance& instance) {
    frmMain = std::make_unique<TfrmMain>(services, instance);
    frmHandledTaskManager = std::make_unique<TfrmHandledTaskManager>(services);
    frmPublishedTaskManager = std::make_unique<TfrmPublishedTaskManager>(services);
    frmWaitForProcessDone = std::make_unique<TfrmWaitForProcessDone>(nullptr, std::function<void()>(), QString());
    frmNotice = std::make_unique<TfrmNotice>(frmMain.get());
    frmOptLog = std::make_unique<TfrmOptLog>(services);
    frmTradeLog = std::make_unique<TfrmTradeLog>(services);
    frmTaskCenter = std::make_unique<TfrmTaskCenter>(services);
    frmWelcome = std::make_unique<TfrmWelcome>(services);
    frmAbout = std::make_unique<TfrmAbout>(frmMain.get());
    frmMain->setScreens({frmHandledTaskManager.get(), frmPublishedTaskManager.get(), frmNotice.get(), frmOptLog.get(),
                         frmTradeLog.get(), frmTaskCenter.get(), frmWelcome.get(), frmAbout.get()});
}

// Reverse order of creation; the screens embedded in the main window leave it as they go.
LongLivedWindows::~LongLivedWindows() {
    frmAbout.reset();
    frmWelcome.reset();
    frmTaskCenter.reset();
    frmTradeLog.reset();
    frmOptLog.reset();
    frmNotice.reset();
    frmWaitForProcessDone.reset();
    frmPublishedTaskManager.reset();
    frmHandledTaskManager.reset();
    frmMain.reset();
}

int RunClient(int argc, char** argv, const std::function<void(QApplication&)>& started) {
    // The task store is a process-wide object (TaskManager), created before this runs.
    SingleInstance instance;
    // The program paints in its own theme (style sheet, font): the style's own pictures, not the
    // desktop's icon theme, whose lookup through the theme folders cost more at start-up than
    // building all the windows' pictures.
    QApplication::setDesktopSettingsAware(false);
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("quorvane-client"));
    app.setApplicationVersion(QStringLiteral(QUORVANE_VERSION_TEXT));
    ApplyProcessWideSettings(app);
    // Installed before `started`: the start-up benchmark's watch of the same painting comes first.
    std::function<void()> buildWindowsWhenPainted;
    AfterFirstPaint firstPaint(nullptr, [&] {
        if (buildWindowsWhenPainted) buildWindowsWhenPainted();
    });
    app.installEventFilter(&firstPaint);
    if (started) started(app);
    if (!instance.acquire()) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("提示"), QStringLiteral("程序已经在运行了!"),
                        QMessageBox::Ok);
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        box.exec();
        return 0;
    }
    // The program runs on in the tray with no window shown; only the exit flow ends it.
    app.setQuitOnLastWindowClosed(false);

    QtPrompter prompter;
    DesktopLinkOpener links;
    SystemClock clock;
    const Services services{prompter, links, clock, ChannelSettings()};

    // The login dialog is the first window on the screen, and the only one built before it: the
    // long-lived windows are built right after its first painting, while it waits for the user,
    // or at the latest once the user has logged in. The main window's first showing then goes on
    // from the login.
    std::unique_ptr<LongLivedWindows> windows;
    const auto buildWindows = [&] {
        if (!windows) windows = std::make_unique<LongLivedWindows>(services, instance);
    };
    buildWindowsWhenPainted = buildWindows;
    QTimer::singleShot(0, &app, [&] {
        TfrmLogin::Run(services, nullptr);
        buildWindows();
        windows->frmMain->setLoginRunner([] {}); // done above
        windows->frmMain->FormShow();
    });
    return app.exec();
}
