#pragma once

#include <QWidget>

namespace pylonix {

// The small window that says the desktop has no tray for the program's item and that it is
// waiting for one; without it the program would run invisibly. Showing it also writes one
// line to the standard error stream.
class NoTrayNotice : public QWidget {
    Q_OBJECT

  public:
    explicit NoTrayNotice(QWidget* parent = nullptr);

    void announce();

    static const char* message();
    static const char* terminalLine();
};

}  // namespace pylonix
