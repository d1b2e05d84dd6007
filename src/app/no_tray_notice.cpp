#include "app/no_tray_notice.h"

#include <QLabel>
#include <QVBoxLayout>
#include <cstdio>

namespace pylonix {

NoTrayNotice::NoTrayNotice(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("no-tray-notice"));
    setWindowTitle(QStringLiteral("Pylonix"));
    auto* label = new QLabel(QString::fromUtf8(message()), this);
    label->setObjectName(QStringLiteral("no-tray-message"));
    label->setWordWrap(true);
    label->setFixedWidth(340);
    label->setAccessibleName(label->text());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    layout->addWidget(label);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // as tall as the wrapped text
}

const char* NoTrayNotice::message() {
    return "Pylonix 找不到系统托盘，整机耗电暂时无处显示。\n\n"
           "请在桌面中启用托盘（StatusNotifierItem 托盘或 X11 系统托盘）。"
           "托盘出现后，Pylonix 会自动显示在其中，此窗口随即关闭。";
}

const char* NoTrayNotice::terminalLine() {
    return "pylonix: no system tray found (no StatusNotifierItem watcher on the session bus, "
           "no X11 system tray); waiting for one to appear";
}

void NoTrayNotice::announce() {
    std::fprintf(stderr, "%s\n", terminalLine());  // NOLINT(cppcoreguidelines-pro-type-vararg)
    std::fflush(stderr);
    show();
    raise();
}

}  // namespace pylonix
