#pragma once
// Test doubles of the desktop seams: a Prompter that records every box and answers from a script,
// a LinkOpener that records addresses, and a clock fixed by the test.
#include "widgets/Prompter.h"
#include "widgets/RemoteCall.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class TestPrompter : public Prompter {
public:
    enum class Kind { Message, Question, Input };
    struct Entry {
        Kind kind;
        QString text;
        QString caption;
        MessageIcon icon;
    };

    void showMessage(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon) override;
    bool askYesNo(QWidget* parent, const QString& text, const QString& caption) override;
    std::optional<QString> askText(QWidget* parent, const QString& caption, const QString& prompt,
                                   const QString& initial) override;

    // Answers for the next questions and input boxes, in order. A question with no queued answer
    // is answered No and counted in `unanswered`.
    std::deque<bool> yesNoAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    // Called while a message box would be up (after it is recorded), e.g. to check that nothing was
    // reloaded before the box closed.
    std::function<void(const Entry&)> onShow;

    std::vector<Entry> entries;
    int unanswered = 0;
    QStringList inputInitials; // the initial text each input box was opened with

    const Entry* last() const { return entries.empty() ? nullptr : &entries.back(); }
    QString lastText() const { return entries.empty() ? QString() : entries.back().text; }
    void clear() { entries.clear(); }
};

// Records every address opened. Every scheme has a handler and every link opens, unless the test
// says otherwise.
class RecordingLinkOpener : public LinkOpener {
public:
    std::optional<bool> hasHandler(const QString& scheme) override {
        asked.append(scheme);
        if (handlerUnknown) return std::nullopt;
        return !unhandledSchemes.contains(scheme);
    }
    bool open(const QString& address) override {
        opened.append(address);
        return !openFails;
    }
    QStringList opened;
    QStringList asked;            // the schemes asked about
    QStringList unhandledSchemes; // schemes no program is registered for
    bool handlerUnknown = false;  // the desktop cannot tell
    bool openFails = false;       // the desktop's handler reports a failure
};

class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime at = QDateTime(QDate(2016, 5, 1), QTime(8, 30, 0))) : m_now(std::move(at)) {}
    QDateTime now() const override { return m_now; }
    void set(const QDateTime& at) { m_now = at; }

private:
    QDateTime m_now;
};

// Logs `name` in with the real login command and fills the process-wide current user from the
// reply, as the login dialog does. False when the login did not succeed.
bool LogInAs(const Services& services, const QString& name, const QString& password);

// Everything a screen needs, wired to the doubles above and to a given endpoint.
struct TestServices {
    TestPrompter prompter;
    RecordingLinkOpener links;
    FixedClock clock;
    Services services{prompter, links, clock, ChannelSettings()};

    explicit TestServices(const ChannelSettings& channel = ChannelSettings()) { services.channel = channel; }
};
