#include "ui/qml/application_icon_provider.h"

#include <QMutexLocker>
#include <QUrl>
#include <utility>

namespace pylonix {

void ApplicationIconStore::setIcons(QHash<QString, QImage> icons) {
    const QMutexLocker lock(&mutex_);
    icons_ = std::move(icons);
}

bool ApplicationIconStore::contains(const std::string& id) const {
    const QMutexLocker lock(&mutex_);
    const auto found = icons_.constFind(QString::fromStdString(id));
    return found != icons_.constEnd() && !found->isNull();
}

QImage ApplicationIconStore::icon(const QString& id) const {
    const QMutexLocker lock(&mutex_);
    return icons_.value(id);
}

ApplicationIconProvider::ApplicationIconProvider(std::shared_ptr<const ApplicationIconStore> store)
    : QQuickImageProvider(QQuickImageProvider::Image), store_(std::move(store)) {}

QImage ApplicationIconProvider::requestImage(const QString& id, QSize* size,
                                             const QSize& requestedSize) {
    QImage image = store_->icon(QUrl::fromPercentEncoding(id.toUtf8()));
    if (!image.isNull() && requestedSize.isValid() && requestedSize != image.size()) {
        image = image.scaled(requestedSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (size) *size = image.size();
    return image;
}

QString ApplicationIconProvider::sourceFor(const std::string& applicationId) {
    return QStringLiteral("image://%1/%2")
        .arg(QString::fromLatin1(kProviderId),
             QString::fromLatin1(QUrl::toPercentEncoding(QString::fromStdString(applicationId))));
}

}  // namespace pylonix
