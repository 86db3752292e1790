// The reference for bench_startup: the smallest Qt Widgets program that paints one dialog with
// Chinese labels and a button, ended the same way as soon as the dialog has been painted.
// `--stay`: the dialog stays up (for its resident memory).
#include "bench/bench_paintexit.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

class ReferenceDialog : public QDialog {
    Q_OBJECT
public:
    ReferenceDialog() {
        setWindowTitle(QStringLiteral("欢迎登陆"));
        setFixedSize(381, 276);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(QStringLiteral("用户名：")));
        layout->addWidget(new QLabel(QStringLiteral("密　码：")));
        layout->addWidget(new QPushButton(QStringLiteral("登录(&L)")));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    AfterFirstPaint exitWhenPainted = ExitWhenPainted("ReferenceDialog");
    if (!(argc > 1 && qstrcmp(argv[1], "--stay") == 0)) app.installEventFilter(&exitWhenPainted);
    ReferenceDialog dialog;
    dialog.show();
    return app.exec();
}

#include "bench_startup_reference.moc"
