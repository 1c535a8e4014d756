// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/report_writer.h"

#include "app/session_report.h"
#include "qt/render/report_pdf.h"
#include "teravine_version.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QProgressDialog>
#include <QPromise>
#include <QThreadPool>
#include <QTimer>

#include <ctime>
#include <exception>
#include <memory>

namespace teravine {
namespace {

// A report that takes longer than this says it is being written.
constexpr int kQuietMilliseconds = 400;

// Swallows the user's input to the whole program while it lives: a click or key meant for
// the window would change what is being written, and one held back would act afterwards.
class InputSwallower final : public QObject {
public:
    InputSwallower() { QCoreApplication::instance()->installEventFilter(this); }
    ~InputSwallower() override { QCoreApplication::instance()->removeEventFilter(this); }
    InputSwallower(const InputSwallower&) = delete;
    InputSwallower& operator=(const InputSwallower&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Drop:
        case QEvent::Close:
            return true;
        default:
            return QObject::eventFilter(watched, event);
        }
    }
};

std::optional<std::string> write_report(const WindowSession& session, const std::string& path) {
    try {
        const ReportDocument report =
            session_report(session, {kVersion, report_date(std::time(nullptr)), {}});
        return write_report_pdf(path, report);
    } catch (const std::exception& e) { // memory running out on a huge session, say
        return "Cannot write " + path + ": " + e.what();
    }
}

} // namespace

std::optional<std::string> write_report_away(QWidget* window, const WindowSession& session,
                                             const std::string& path) {
    using Result = std::optional<std::string>;
    auto promise = std::make_shared<QPromise<Result>>();
    QFutureWatcher<Result> watcher;
    QEventLoop loop;
    QObject::connect(&watcher, &QFutureWatcher<Result>::finished, &loop, &QEventLoop::quit);
    watcher.setFuture(promise->future());
    QThreadPool::globalInstance()->start([promise, session, path] {
        promise->start();
        promise->addResult(write_report(session, path));
        promise->finish();
    });
    QProgressDialog progress(QStringLiteral("Writing the report…"), QString(), 0, 0, window);
    progress.setWindowTitle(QStringLiteral("Save Report"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setCancelButton(nullptr);
    QTimer::singleShot(kQuietMilliseconds, &progress, [&progress] { progress.show(); });
    const InputSwallower swallower; // the window repaints meanwhile
    loop.exec();
    return watcher.future().result();
}

} // namespace teravine
