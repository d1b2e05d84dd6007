#include "platform/linux/updates/message_box_update_presenter.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace pylonix::linux_platform {

bool openDownloadPage(const std::string& url) {
    if (!isHttpsURL(url)) return false;
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(url), QUrl::StrictMode));
}

MessageBoxUpdatePresenter::~MessageBoxUpdatePresenter() {
    delete box_.data();
}

void MessageBoxUpdatePresenter::present(const UpdateCheckResult& result,
                                        std::function<void()> onDismissed) {
    delete box_.data();
    auto* box = new QMessageBox;
    box_ = box;
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(QStringLiteral("软件更新"));
    QPushButton* download = nullptr;
    if (result.errorMessage) {
        box->setIcon(QMessageBox::Warning);
        box->setText(QStringLiteral("检查更新失败。"));
        box->setInformativeText(QString::fromStdString(*result.errorMessage));
        box->addButton(QStringLiteral("好"), QMessageBox::AcceptRole);
    } else if (result.availableVersion && result.downloadURL) {
        box->setIcon(QMessageBox::Information);
        box->setText(QStringLiteral("Pylonix %1 可供下载。")
                         .arg(QString::fromStdString(*result.availableVersion)));
        box->setInformativeText(QStringLiteral("打开下载页面以获取新版本。"));
        download = box->addButton(QStringLiteral("前往下载"), QMessageBox::AcceptRole);
        box->addButton(QStringLiteral("以后再说"), QMessageBox::RejectRole);
    } else {
        box->setIcon(QMessageBox::Information);
        box->setText(QStringLiteral("Pylonix 已是最新版本。"));
        box->addButton(QStringLiteral("好"), QMessageBox::AcceptRole);
    }
    const std::string url = result.downloadURL.value_or("");
    QObject::connect(box, &QMessageBox::finished, box,
                     [box, download, url, onDismissed = std::move(onDismissed)] {
                         if (download != nullptr && box->clickedButton() == download) {
                             openDownloadPage(url);
                         }
                         onDismissed();
                     });
    box->open();
}

}  // namespace pylonix::linux_platform
