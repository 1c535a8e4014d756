// SPDX-License-Identifier: GPL-3.0-or-later
// Work done on the thread pool, away from the window, and its result handed back on the
// owner's thread. The watcher is a child of the owner, so a result that comes back after
// the owner is gone reaches nobody.
#pragma once

#include <QFutureWatcher>
#include <QObject>
#include <QPromise>
#include <QThreadPool>

#include <memory>
#include <optional>
#include <utility>

namespace teravine {

// Runs `work` on the pool: it returns a Result, or no value when what it was asked for was
// superseded before it began. `take` then gets that value, or none, on the owner's thread.
template <class Result, class Work, class Take>
void run_on_pool(QObject* owner, Work work, Take take) {
    auto promise = std::make_shared<QPromise<Result>>();
    auto* watcher = new QFutureWatcher<Result>(owner);
    QObject::connect(watcher, &QFutureWatcher<Result>::finished, owner,
                     [watcher, take = std::move(take)]() mutable {
                         watcher->deleteLater();
                         QFuture<Result> future = watcher->future();
                         take(future.resultCount() > 0 ? std::optional<Result>(future.takeResult())
                                                       : std::nullopt);
                     });
    watcher->setFuture(promise->future());
    QThreadPool::globalInstance()->start([promise, work = std::move(work)]() mutable {
        promise->start();
        if (std::optional<Result> result = work()) {
            promise->addResult(std::move(*result));
        }
        promise->finish();
    });
}

} // namespace teravine
