#include "widgets/Prompter.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>
#include <QUrlQuery>

namespace {
QMessageBox::Icon toQt(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Error: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

void QtPrompter::showMessage(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon) {
    QMessageBox box(toQt(icon), caption, text, QMessageBox::Ok, parent);
    // Messages carry the server's returnmsg and typed text: shown as the characters they hold.
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    box.exec();
}

bool QtPrompter::askYesNo(QWidget* parent, const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<QString> QtPrompter::askText(QWidget* parent, const QString& caption, const QString& prompt,
                                           const QString& initial) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent, caption, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok) return std::nullopt;
    return text;
}

std::optional<bool> DesktopLinkOpener::hasHandler(const QString& scheme) {
    QProcess query;
    query.start(QStringLiteral("xdg-mime"),
                {QStringLiteral("query"), QStringLiteral("default"), QStringLiteral("x-scheme-handler/") + scheme});
    if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit) {
        query.kill();
        query.waitForFinished(1000);
        return std::nullopt;
    }
    if (query.exitCode() != 0) return std::nullopt;
    return !query.readAllStandardOutput().trimmed().isEmpty();
}

bool DesktopLinkOpener::open(const QString& address) { return QDesktopServices::openUrl(QUrl(address)); }

void OpenLink(Prompter& prompter, LinkOpener& links, QWidget* parent, const QString& address) {
    const QUrl url(address);
    if (links.hasHandler(url.scheme()) != false && links.open(address)) return;
    if (url.scheme() == QLatin1String("tencent")) {
        const QString number = QUrlQuery(url).queryItemValue(QStringLiteral("uin"));
        QGuiApplication::clipboard()->setText(number);
        ShowHint(prompter, parent, QStringLiteral("未能打开QQ，已将QQ号码 %1 复制到剪贴板。").arg(number));
    } else {
        QGuiApplication::clipboard()->setText(address);
        ShowHint(prompter, parent, QStringLiteral("未能打开浏览器，已将网址复制到剪贴板：") + address);
    }
}

void ShowTransportFailure(Prompter& prompter, QWidget* parent, const QString& prefix, const QString& errorText) {
    prompter.showMessage(parent, prefix + errorText, QStringLiteral("错误"), MessageIcon::Error);
}

void ShowRefusal(Prompter& prompter, QWidget* parent, const QString& prefix, const QString& returnMsg,
                 MessageIcon icon) {
    prompter.showMessage(parent, prefix + returnMsg, QStringLiteral("提示"), icon);
}

void ShowGeneralError(Prompter& prompter, QWidget* parent, const QString& description) {
    prompter.showMessage(parent, description, QStringLiteral("错误"), MessageIcon::Error);
}

void ShowHint(Prompter& prompter, QWidget* parent, const QString& text, MessageIcon icon) {
    prompter.showMessage(parent, text, QStringLiteral("提示"), icon);
}

bool AskConfirm(Prompter& prompter, QWidget* parent, const QString& text) {
    return prompter.askYesNo(parent, text, QStringLiteral("提示"));
}
