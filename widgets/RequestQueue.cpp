#include "widgets/RequestQueue.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>

RequestQueue::RequestQueue(QWidget* screen) : QObject(screen), m_screen(screen), m_timer(new QTimer(this)) {
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &RequestQueue::startNext);
    screen->installEventFilter(this);
}

void RequestQueue::fetch(Request request) {
    dropWaitingFetches();
    runOrKeep({std::move(request), true});
}

void RequestQueue::fetchLater(Request request, int delayMs) {
    dropWaitingFetches();
    m_pending.push_back({std::move(request), true});
    m_timer->setInterval(delayMs);
    if (!m_running) armTimer();
}

void RequestQueue::send(Request request) { runOrKeep({std::move(request), false}); }

void RequestQueue::runOrKeep(Pending pending) {
    // Behind a running request, or behind an action still waiting for the timer (order is kept).
    if (m_running || !m_pending.empty()) {
        m_pending.push_back(std::move(pending));
        return;
    }
    run(pending.request);
}

void RequestQueue::armTimer() {
    if (m_stopped)
        m_paused = true;
    else
        m_timer->start();
}

void RequestQueue::loadWhenShown(Request load, int delayMs) {
    m_load = std::move(load);
    m_loadDelay = delayMs;
}

bool RequestQueue::isSuperseded() const {
    return std::any_of(m_pending.begin(), m_pending.end(), [](const Pending& pending) { return pending.isFetch; });
}

void RequestQueue::run(const Request& request) {
    m_running = true;
    struct Ended {
        bool& running;
        ~Ended() { running = false; }
    } ended{m_running};
    request();
    // What was asked for meanwhile starts from the event loop, after the handler that ran this one.
    if (!m_pending.empty() && !m_timer->isActive()) {
        m_timer->setInterval(0);
        armTimer();
    }
}

void RequestQueue::startNext() {
    if (m_running || m_pending.empty()) return; // a running request starts the next when it ends
    Pending next = std::move(m_pending.front());
    m_pending.pop_front();
    run(next.request);
}

void RequestQueue::dropWaitingFetches() {
    std::erase_if(m_pending, [](const Pending& pending) { return pending.isFetch; });
    if (m_pending.empty()) {
        m_timer->stop();
        m_paused = false;
    }
}

bool RequestQueue::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_screen) return false;
    if (event->type() == QEvent::Show) {
        m_stopped = false;
        if (m_load && m_loadDue) {
            m_loadDue = false;
            fetchLater(m_load, m_loadDelay);
        } else if (m_paused) {
            m_paused = false;
            if (!m_running && !m_pending.empty()) m_timer->start();
        }
    } else if (event->type() == QEvent::Hide) {
        m_stopped = true;
        if (m_timer->isActive()) {
            m_timer->stop();
            m_paused = true;
        }
        // Hidden itself (not only with its window): the next showing loads anew.
        if (m_screen->isHidden()) m_loadDue = true;
    }
    return false;
}
