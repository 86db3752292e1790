#pragma once
// The desktop's secret store (the Secret Service over D-Bus, or KWallet) through QtKeychain: where the
// saved password is kept when the desktop offers a store. Entries belong to the service
// "quorvane-client" and are keyed by the user name.
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class SecretStore {
public:
    explicit SecretStore(QString service = QStringLiteral("quorvane-client"));

    // Keeps `password` for `user`. Waits for the store's answer in a local event loop that takes no
    // input (windows still paint): true when stored; false with `error` when no store answers, it
    // refuses, or it has not answered within `timeoutMs`.
    bool writePassword(const QString& user, const QString& password, QString* error = nullptr,
                       int timeoutMs = 60000) const;
    // Asks for the password of `user`; `done` gets it, or nullopt when there is none or no store
    // answers. Runs on the event loop: `done` is called later, and not at all once `context` is gone.
    void readPassword(const QString& user, QObject* context, std::function<void(std::optional<QString>)> done) const;
    // Removes the entry of `user`, without waiting for the outcome.
    void deletePassword(const QString& user) const;

private:
    QString m_service;
};
