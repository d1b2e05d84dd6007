#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QImage>
#include <QList>
#include <QMetaType>
#include <QString>

namespace pylonix::linux_platform {

// One image of a StatusNotifierItem (D-Bus `(iiay)`): 32-bit ARGB pixels, row by row, each
// in network byte order.
struct StatusNotifierPixmap {
    int width = 0;
    int height = 0;
    QByteArray argb;

    static StatusNotifierPixmap fromImage(const QImage& image);
    QImage toImage() const;  // a null image when the bytes do not match the size

    bool operator==(const StatusNotifierPixmap&) const = default;
};
using StatusNotifierPixmaps = QList<StatusNotifierPixmap>;

// The item's tooltip (D-Bus `(sa(iiay)ss)`): icon name, icon images, title and text.
struct StatusNotifierToolTip {
    QString iconName;
    StatusNotifierPixmaps iconPixmaps;
    QString title;
    QString text;

    bool operator==(const StatusNotifierToolTip&) const = default;
};

// Makes the two types known to QtDBus; safe to call more than once.
void registerStatusNotifierTypes();

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierPixmap& pixmap);
const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierPixmap& pixmap);
QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierToolTip& toolTip);
const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierToolTip& toolTip);

}  // namespace pylonix::linux_platform

Q_DECLARE_METATYPE(pylonix::linux_platform::StatusNotifierPixmap)
Q_DECLARE_METATYPE(pylonix::linux_platform::StatusNotifierToolTip)
