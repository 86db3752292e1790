#pragma once
// Runs an action once, from the event loop, right after the first painting of a window: of any
// window, or of one whose class inherits the given one. An application-wide filter sees the paint
// event and queues the action, which therefore runs once that painting and its flush to the screen
// are done. Among several such watches of the same painting, the one installed last acts first.
// Header only: the start-up benchmark's reference, a bare Qt program, uses it too.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <utility>

class AfterFirstPaint : public QObject {
public:
    // `windowClass` null: any window.
    AfterFirstPaint(const char* windowClass, std::function<void()> then)
        : m_windowClass(windowClass), m_then(std::move(then)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (m_seen || event->type() != QEvent::Paint || !watched->isWidgetType()) return false;
        if (m_windowClass && !static_cast<QWidget*>(watched)->window()->inherits(m_windowClass)) return false;
        m_seen = true;
        QCoreApplication::instance()->removeEventFilter(this);
        QTimer::singleShot(0, this, m_then);
        return false;
    }

private:
    const char* m_windowClass;
    std::function<void()> m_then;
    bool m_seen = false;
};
