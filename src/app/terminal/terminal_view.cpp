#include "app/terminal/terminal_view.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <algorithm>
#include <array>
#include <csignal>
#include <memory>
#include <string>
#include <vector>

#include "app/application_objects.h"
#include "app/terminal/signal_pipe.h"
#include "app/terminal/terminal_session.h"
#include "common/application_info.h"
#include "platform/qt/qsettings_preferences_store.h"
#include "platform/qt/qt_main_executor.h"
#include "ui/terminal_layout.h"

namespace pylonix {
namespace {

// Columns of the layout; wider terminals leave the rest empty, so values stay near labels.
constexpr int kLayoutWidth = 72;
constexpr char kControlC = 0x03;
constexpr char kControlD = 0x04;
constexpr char kEscape = 0x1b;

bool isSet(const char* name) {
    const std::optional<std::string> value = processEnvironmentVariable(name);
    return value && !value->empty();
}

// What the output can do, decided once at start.
struct OutputKind {
    bool drawsInPlace = false;  // a terminal that understands cursor movement
    bool colours = false;
    bool readsKeys = false;

    static OutputKind ofThisProcess() {
        OutputKind kind;
        const bool terminal = ::isatty(STDOUT_FILENO) == 1;
        const std::optional<std::string> term = processEnvironmentVariable("TERM");
        kind.drawsInPlace = terminal && term && !term->empty() && *term != "dumb";
        kind.colours = kind.drawsInPlace && !isSet("NO_COLOR");
        kind.readsKeys = terminal && ::isatty(STDIN_FILENO) == 1;
        return kind;
    }
};

class TerminalView {
  public:
    TerminalView(const TerminalViewOptions& options, OutputKind output)
        : options_(options),
          output_(output),
          objects_({executor_, preferences_,
                    platformRootsFromEnvironment(processEnvironmentVariable),
                    ApplicationFront::terminal}) {
        if (output_.readsKeys || output_.drawsInPlace) {
            session_ = std::make_unique<TerminalSession>(STDIN_FILENO, STDOUT_FILENO,
                                                         output_.readsKeys, output_.drawsInPlace);
        }
        if (signals_.readDescriptor() >= 0) {
            signalNotifier_ =
                std::make_unique<QSocketNotifier>(signals_.readDescriptor(), QSocketNotifier::Read);
            QObject::connect(signalNotifier_.get(), &QSocketNotifier::activated,
                             [this] { handleSignals(); });
        }
        if (output_.readsKeys) {
            keyNotifier_ = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
            QObject::connect(keyNotifier_.get(), &QSocketNotifier::activated,
                             [this] { readKeys(); });
        }
    }

    ~TerminalView() { sampling_.cancel(); }
    TerminalView(const TerminalView&) = delete;
    TerminalView& operator=(const TerminalView&) = delete;

    int run() {
        const std::shared_ptr<PowerMonitor>& monitor = objects_.monitor();
        objects_.applicationPower().run(sampling_.token());
        // The monitor took its start-up readings already: the latest is the first refresh.
        refreshed();
        if (finished_) return status_;
        const Subscription snapshots =
            monitor->observeSnapshot([this](const PowerSnapshot&) { refreshed(); });
        const Subscription intervals =
            monitor->observeRefreshInterval([this](RefreshInterval) { redraw(); });
        const Subscription applications = objects_.applicationPower().observeSnapshot(
            [this](const ApplicationPowerSnapshot&) { redraw(); });
        return QCoreApplication::exec();
    }

  private:
    std::vector<TerminalLine> frame() const {
        const PowerMonitor& monitor = *objects_.monitor();
        TerminalViewState state;
        state.panel.snapshot = monitor.snapshot();
        state.panel.applicationPower = objects_.applicationPower().snapshot();
        state.panel.version = kApplicationVersion;
        state.showsAllApplications = showsAllApplications_;
        state.settings.refreshInterval = monitor.refreshInterval();
        state.settings.version = kApplicationVersion;
        state.showsKeys = output_.readsKeys;
        state.width =
            output_.drawsInPlace ? std::min(session_->columns(), kLayoutWidth) : kLayoutWidth;
        return terminalFrame(state);
    }

    // A new reading: shown, and counted.
    void refreshed() {
        if (finished_) return;
        if (output_.drawsInPlace) {
            redraw();
        } else {
            printBlock();
        }
        ++refreshes_;
        if (options_.count && refreshes_ >= *options_.count) finish(0);
    }

    // Anything else that changes what is shown. Plain output prints only per refresh.
    void redraw() {
        if (finished_ || !output_.drawsInPlace) return;
        std::vector<TerminalLine> lines = frame();
        const auto rows = static_cast<std::size_t>(std::max(session_->rows(), 1));
        if (lines.size() > rows) {
            // Keep the top and the last line, the keys.
            TerminalLine last = std::move(lines.back());
            lines.resize(rows - 1);
            lines.push_back(std::move(last));
        }
        std::vector<std::string> rendered;
        rendered.reserve(lines.size());
        for (const TerminalLine& line : lines) {
            rendered.push_back(renderTerminalLine(line, output_.colours));
        }
        if (!session_->draw(rendered)) finish(1);
    }

    void printBlock() {
        const std::string separator = refreshes_ > 0 ? "\n" : "";
        if (!writeAll(STDOUT_FILENO, separator + plainTerminalText(frame()))) finish(1);
    }

    void readKeys() {
        std::array<char, 64> bytes{};
        const ssize_t count = ::read(STDIN_FILENO, bytes.data(), bytes.size());
        if (count == 0) {
            finish(0);  // the terminal hung up
            return;
        }
        if (count < 0) return;
        // An escape sequence (arrows, function keys) arrives in one read: none of it is a key.
        if (bytes[0] == kEscape) return;
        for (ssize_t index = 0; index < count && !finished_; ++index) {
            handleKey(bytes[static_cast<std::size_t>(index)]);
        }
    }

    void handleKey(char key) {
        PowerMonitor& monitor = *objects_.monitor();
        constexpr auto kIntervals = RefreshInterval::allCases();
        if (key >= '1' && key < static_cast<char>('1' + kIntervals.size())) {
            monitor.setRefreshInterval(kIntervals[static_cast<std::size_t>(key - '1')]);
        } else if (key == 'a' || key == 'A') {
            showsAllApplications_ = !showsAllApplications_;
            if (output_.drawsInPlace) {
                redraw();
            } else {
                printBlock();
            }
        } else if (key == 'r' || key == 'R') {
            monitor.refresh();
        } else if (key == 'q' || key == 'Q' || key == kControlD) {
            finish(0);
        } else if (key == kControlC) {
            finish(128 + SIGINT);
        }
    }

    void handleSignals() {
        for (const int signal : signals_.takeSignals()) {
            if (signal == SIGWINCH) {
                if (session_) session_->invalidate();
                redraw();
            } else {
                finish(128 + signal);
            }
        }
    }

    void finish(int status) {
        if (finished_) return;
        finished_ = true;
        status_ = status;
        sampling_.cancel();
        QCoreApplication::exit(status);
    }

    TerminalViewOptions options_;
    OutputKind output_;
    SignalPipe signals_{SIGINT, SIGTERM, SIGHUP, SIGWINCH};
    qt_platform::QtMainExecutor executor_;
    qt_platform::QSettingsPreferencesStore preferences_;
    ApplicationObjects objects_;
    CancellationSource sampling_;
    std::unique_ptr<TerminalSession> session_;
    std::unique_ptr<QSocketNotifier> signalNotifier_;
    std::unique_ptr<QSocketNotifier> keyNotifier_;
    bool showsAllApplications_ = false;
    long long refreshes_ = 0;
    bool finished_ = false;
    int status_ = 0;
};

}  // namespace

int runTerminalView(int argc, char* argv[], const TerminalViewOptions& options) {
    const QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pylonix"));
    QCoreApplication::setOrganizationName(QStringLiteral("Pylonix"));
    // A reader that goes away shows as a failed write, not as a killed process.
    std::signal(SIGPIPE, SIG_IGN);  // NOLINT(cert-err33-c)
    TerminalView view(options, OutputKind::ofThisProcess());
    return view.run();
}

}  // namespace pylonix
