#pragma once
// The seams through which the program reaches a person or the desktop: message boxes, questions and
// the input box (Prompter), opening links (LinkOpener) and the clock of the lifecycle rules (Clock).
// Screens receive them in Services; tests put recording doubles in their place.
#include <QDateTime>
#include <QString>
#include <optional>

class QWidget;

enum class MessageIcon { None, Information, Warning, Error, Question };

class Prompter {
public:
    virtual ~Prompter() = default;
    // A modal box with an OK button.
    virtual void showMessage(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon) = 0;
    // A Yes/No question box; true only for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& text, const QString& caption) = 0;
    // The one-line input box; nullopt when cancelled.
    virtual std::optional<QString> askText(QWidget* parent, const QString& caption, const QString& prompt,
                                           const QString& initial) = 0;
};

class LinkOpener {
public:
    virtual ~LinkOpener() = default;
    // Whether a program is registered for links of `scheme` ("http", "tencent"); nullopt when the
    // desktop cannot tell.
    virtual std::optional<bool> hasHandler(const QString& scheme) = 0;
    // Hands `address` to the desktop's handler; false when it could not be opened.
    virtual bool open(const QString& address) = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

// The real implementations: QMessageBox, QInputDialog, QDesktopServices, the system clock. Message
// and question boxes show their text as plain text, whatever it holds.
class QtPrompter : public Prompter {
public:
    void showMessage(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon) override;
    bool askYesNo(QWidget* parent, const QString& text, const QString& caption) override;
    std::optional<QString> askText(QWidget* parent, const QString& caption, const QString& prompt,
                                   const QString& initial) override;
};

// QDesktopServices; on Linux the handler is the one `xdg-mime query default x-scheme-handler/<scheme>`
// names.
class DesktopLinkOpener : public LinkOpener {
public:
    std::optional<bool> hasHandler(const QString& scheme) override;
    bool open(const QString& address) override;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// The three forms in which a command's outcome reaches the user.
// Transport failure: prefix + error text, caption "错误", error icon.
void ShowTransportFailure(Prompter& prompter, QWidget* parent, const QString& prefix, const QString& errorText);
// Refusal: prefix + returnmsg, caption "提示", the command's icon.
void ShowRefusal(Prompter& prompter, QWidget* parent, const QString& prefix, const QString& returnMsg,
                 MessageIcon icon);
// The general error handler: an error box with the failure's description (caption "错误").
void ShowGeneralError(Prompter& prompter, QWidget* parent, const QString& description);
// Information box captioned "提示", the form of input messages and success confirmations.
void ShowHint(Prompter& prompter, QWidget* parent, const QString& text, MessageIcon icon = MessageIcon::Information);
// Yes/No question captioned "提示".
bool AskConfirm(Prompter& prompter, QWidget* parent, const QString& text);

// Opens a web or QQ link. Where no program is registered for its scheme, or opening it fails, the QQ
// number (for a QQ link) or the address (for a web link) goes to the clipboard and an information box
// says so.
void OpenLink(Prompter& prompter, LinkOpener& links, QWidget* parent, const QString& address);
