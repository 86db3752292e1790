#pragma once
// The one path of a screen's requests to the server.
//
// A request is a handler body that sends its command behind the modal wait dialog and applies what
// came back. The wait dialog's loop runs timers and posted events, so without a queue a screen's
// load timer or posted reload could start a second request of the same screen inside the first one,
// which then applies its reply to a list the nested one has replaced. Through its queue a screen has
// at most one request running; anything asked for meanwhile starts from the event loop once the
// running one has ended.
//
// Two kinds of request:
// - a fetch (a page, a search, "刷新", a reload, the load after showing) shows the server's state: a
//   newer fetch replaces one that has not started yet, and a running fetch whose reply arrives after
//   a newer fetch was asked for leaves its reply unapplied (`isSuperseded`);
// - an action (a command that changes something, asked for by the user) is never replaced.
//
// The screen's load: `loadWhenShown` fetches 100 ms after the screen is shown, when it was hidden
// itself before (or never shown): the window coming back from minimised or from the tray shows what
// the screen held. Hiding the screen stops its timer; showing it again starts what was waiting.
//
// Usage (a screen that owns a list):
//     m_requests = new RequestQueue(this);
//     m_requests->loadWhenShown([this] { fetchPage(); });
//     ... m_requests->fetch([this, id] { search(id); });
//     ... m_requests->fetchLater([this] { fetchPage(); }); // after an action's success box
#include <QObject>
#include <deque>
#include <functional>

class QTimer;
class QWidget;

class RequestQueue : public QObject {
    Q_OBJECT
public:
    using Request = std::function<void()>;

    // A queue for the requests of `screen`, which it watches for showing and hiding.
    explicit RequestQueue(QWidget* screen);

    // Runs `request` now when no request of the screen is running; otherwise keeps it for later.
    // Replaces a fetch that has not started, also one waiting for the timer.
    void fetch(Request request);
    // Like fetch, but started from the event loop after `delayMs` (0: once the running handler and
    // any box it shows have returned).
    void fetchLater(Request request, int delayMs = 0);
    // An action: runs now, or after the running request; never replaced.
    void send(Request request);

    // Fetches `load` `delayMs` after the screen is shown anew (see above).
    void loadWhenShown(Request load, int delayMs = 100);

    bool isRunning() const { return m_running; }
    // True when a newer fetch waits: the running fetch's reply is not to be applied.
    bool isSuperseded() const;

    // The timer that starts a waiting request from the event loop (object name "Timer1").
    QTimer* timer() const { return m_timer; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Pending {
        Request request;
        bool isFetch;
    };
    void runOrKeep(Pending pending);
    void run(const Request& request);
    void armTimer();
    void startNext();
    void dropWaitingFetches();

    QWidget* m_screen;
    QTimer* m_timer;
    std::deque<Pending> m_pending;
    bool m_running = false;
    bool m_stopped = false; // hidden since its last showing: the timer does not run
    bool m_paused = false;  // something waits for the timer, which starts on the next showing
    Request m_load;
    int m_loadDelay = 100;
    bool m_loadDue = true; // the next showing loads
};
