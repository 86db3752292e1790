#include "model/uVarConst.h"

#include <QUrl>

QString SiteAddress() {
    QString address = QStringLiteral(QUORVANE_SITE_URL).trimmed();
    while (address.endsWith(u'/')) address.chop(1);
    return address;
}

QString QQChatLink(const QString& qq) {
    const QString number = QString::fromLatin1(QUrl::toPercentEncoding(qq));
    return QString(QQChatLinkFormat).replace(QStringLiteral("%s"), number);
}

QString SupportQQChatLink() { return QQChatLink(SupportQQ); }

QString PublisherGuideLink() { return SiteAddress() + QStringLiteral("?post=5"); }

QString HandlerGuideLink() { return SiteAddress() + QStringLiteral("?post=6"); }

QString InviteLink(int userId) { return SiteAddress() + QStringLiteral("?uid=%1").arg(userId); }
