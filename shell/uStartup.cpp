#include "shell/uStartup.h"

#include "remote/Prompter.h"
#include "remote/uRemoteCall.h"
#include "shell/uSingleInstance.h"
#include "shell/ufrmMain.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

void ApplyProcessWideSettings(QApplication& app) {
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto* translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(translator);
    const QStringList families = QFontDatabase::families();
    for (const QString& family : {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei")}) {
        if (families.contains(family)) {
            QFont font(family);
            font.setPixelSize(12);
            app.setFont(font);
            break;
        }
    }
    QFile theme(QStringLiteral(":/theme.qss"));
    if (theme.open(QIODevice::ReadOnly)) app.setStyleSheet(QString::fromUtf8(theme.readAll()));
}

int RunClient(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("quorvane-client"));
    app.setApplicationVersion(QStringLiteral(QUORVANE_VERSION_TEXT));
    ApplyProcessWideSettings(app);

    TSingleInstance instance;
    if (!instance.acquire()) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("提示"), QStringLiteral("程序已经在运行了!"),
                        QMessageBox::Ok);
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
        box.exec();
        return 0;
    }

    QtPrompter prompter;
    DesktopLinkOpener links;
    SystemClock clock;
    TServices services{prompter, links, clock, TChannelSettings()};

    TfrmMain main(services, instance);
    main.show();
    return app.exec();
}
