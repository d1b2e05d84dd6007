#pragma once

#include <QPointer>

#include "platform/linux/updates/update_presenting.h"

class QMessageBox;

namespace pylonix::linux_platform {

// Shows a user-started check's result in a window of its own: a newer version with a button
// that opens its download page in the browser, "up to date", or the failure. Needs a
// QApplication.
class MessageBoxUpdatePresenter : public UpdatePresenting {
  public:
    ~MessageBoxUpdatePresenter() override;

    void present(const UpdateCheckResult& result, std::function<void()> onDismissed) override;

  private:
    QPointer<QMessageBox> box_;
};

// Opens an https address in the browser; any other address is refused (false).
bool openDownloadPage(const std::string& url);

}  // namespace pylonix::linux_platform
