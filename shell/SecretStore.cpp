#include "shell/SecretStore.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <qt6keychain/keychain.h>

SecretStore::SecretStore(QString service) : m_service(std::move(service)) {}

bool SecretStore::writePassword(const QString& user, const QString& password, QString* error, int timeoutMs) const {
    auto* job = new QKeychain::WritePasswordJob(m_service);
    job->setAutoDelete(false);
    job->setKey(user);
    job->setTextData(password);
    QEventLoop loop;
    bool finished = false;
    QObject::connect(job, &QKeychain::Job::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    job->start();
    if (!finished) loop.exec(QEventLoop::ExcludeUserInputEvents);
    const bool stored = finished && job->error() == QKeychain::NoError;
    if (!stored && error) *error = finished ? job->errorString() : QStringLiteral("the secret store did not answer");
    if (finished) {
        delete job;
    } else {
        // It may still answer: it goes when it does.
        QObject::connect(job, &QKeychain::Job::finished, job, &QObject::deleteLater);
    }
    return stored;
}

void SecretStore::readPassword(const QString& user, QObject* context,
                               std::function<void(std::optional<QString>)> done) const {
    auto* job = new QKeychain::ReadPasswordJob(m_service);
    job->setKey(user);
    QObject::connect(job, &QKeychain::Job::finished, context, [job, done = std::move(done)] {
        if (job->error() == QKeychain::NoError)
            done(job->textData());
        else
            done(std::nullopt);
    });
    job->start();
}

void SecretStore::deletePassword(const QString& user) const {
    auto* job = new QKeychain::DeletePasswordJob(m_service);
    job->setKey(user);
    job->start();
}
