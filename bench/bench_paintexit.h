#pragma once
// Ends a start-up benchmark once a top-level window of the given class has been painted: an
// application-wide filter sees the window's first paint event and ends the process right after it
// (the queued exit runs once the paint and the flush to the screen are done). Both start-up
// programs (the client's start-up and the reference dialog) end through this one mechanism.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

class TExitWhenPainted : public QObject {
public:
    explicit TExitWhenPainted(const char* windowClass) : FWindowClass(windowClass) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!FSeen && event->type() == QEvent::Paint && watched->isWidgetType()) {
            const QWidget* window = static_cast<QWidget*>(watched)->window();
            if (window->inherits(FWindowClass)) {
                FSeen = true;
                QTimer::singleShot(0, [] {
                    std::fflush(nullptr);
                    std::_Exit(0); // no teardown: the figure is the way to the painted window
                });
            }
        }
        return false;
    }

private:
    const char* FWindowClass;
    bool FSeen = false;
};
