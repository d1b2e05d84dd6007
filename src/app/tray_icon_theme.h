#pragma once

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

namespace pylonix {

// A private icon theme in the hicolor layout, for the tray hosts that load an item's icon by
// name from the folder the item names: `<folder>/hicolor/<n>x<n>/apps/<name>.png` at every
// size of `kTrayIconPixelSizes`, each drawn at its own pixels. Holds the latest few names (a
// host may still read the previous one) and removes the folder when destroyed.
class TrayIconTheme {
  public:
    // The theme under `folder`, which it creates; unusable (an empty path) when it cannot.
    explicit TrayIconTheme(QString folder);
    ~TrayIconTheme();
    TrayIconTheme(const TrayIconTheme&) = delete;
    TrayIconTheme& operator=(const TrayIconTheme&) = delete;

    // The folder of the theme, for IconThemePath; empty when unusable.
    QString path() const { return usable_ ? folder_ : QString(); }
    bool contains(const QString& name) const { return names_.contains(name); }
    // Writes the icon `name`, one image per size in `kTrayIconPixelSizes` order; false when a
    // file cannot be written (the name is then not offered).
    bool add(const QString& name, const QList<QImage>& images);

    // A new folder for this process: `$XDG_RUNTIME_DIR/pylonix-icons-<pid>-<n>`; empty
    // without a runtime folder.
    static QString folderForThisProcess();

  private:
    void remove(const QString& name);

    QString folder_;
    bool usable_ = false;
    QStringList names_;  // oldest first
};

}  // namespace pylonix
