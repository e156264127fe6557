#include "BackgroundRun.h"

#include <QApplication>
#include <QEventLoop>
#include <QInputEvent>
#include <QTimer>
#include <exception>
#include <thread>

namespace {

constexpr int TickMilliseconds = 40;

// Swallows user input for as long as it lives and shows the busy cursor.
class TInputBlocker final : public QObject {
public:
    TInputBlocker() {
        qApp->installEventFilter(this);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~TInputBlocker() override {
        QApplication::restoreOverrideCursor();
        qApp->removeEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* AEvent) override {
        switch (AEvent->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove:
            case QEvent::Drop:
            case QEvent::Shortcut:
            case QEvent::ShortcutOverride:
                return true;
            default:
                return dynamic_cast<QInputEvent*>(AEvent) != nullptr;
        }
    }
};

}  // namespace

void RunWithInputBlocked(const std::function<void()>& AWork, const std::function<void()>& ATick) {
    TInputBlocker blocker;
    QEventLoop loop;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&ATick] { ATick(); });
    ticker.start(TickMilliseconds);

    std::exception_ptr error;
    std::thread worker([&] {
        try {
            AWork();
        } catch (...) {
            error = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    ticker.stop();
    ATick();
    if (error) std::rethrow_exception(error);
}
