#pragma once

#include <QHash>
#include <QImage>
#include <QMutex>
#include <QQuickImageProvider>
#include <QString>
#include <memory>
#include <string>

namespace pylonix {

// The icons of running applications by application id, as the panel draws them. Filled by the
// icon cache; read by the image provider (possibly on QML's image-loading thread).
class ApplicationIconStore {
  public:
    void setIcons(QHash<QString, QImage> icons);
    bool contains(const std::string& id) const;
    QImage icon(const QString& id) const;

  private:
    mutable QMutex mutex_;
    QHash<QString, QImage> icons_;
};

// "image://application-icons/<percent-encoded id>": the application's icon, resized to the
// requested size with smooth interpolation.
class ApplicationIconProvider : public QQuickImageProvider {
  public:
    static constexpr const char* kProviderId = "application-icons";

    explicit ApplicationIconProvider(std::shared_ptr<const ApplicationIconStore> store);

    QImage requestImage(const QString& id, QSize* size, const QSize& requestedSize) override;

    // The source URL of the icon of `applicationId`.
    static QString sourceFor(const std::string& applicationId);

  private:
    std::shared_ptr<const ApplicationIconStore> store_;
};

}  // namespace pylonix
