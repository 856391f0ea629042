#pragma once
// Runs work on the thread that owns a widget.
//
// Workers never touch widgets: they hand every change to the user-interface
// thread. A change is queued and the worker goes on; a call that returns
// something, or shows a modal box, makes the worker wait until it is done
// (as a sent window message would). Queued changes to one receiver run in
// the order they were made. On the user-interface thread itself the changes
// still queued for the receiver are run first, then the work directly, so
// the order holds there too.

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <type_traits>
#include <utility>

namespace app {

inline bool OnThreadOf(const QObject* receiver) { return QThread::currentThread() == receiver->thread(); }

// Runs what is still queued for `receiver` (user-interface thread only).
inline void FlushQueued(QObject* receiver) { QCoreApplication::sendPostedEvents(receiver, QEvent::MetaCall); }

// A change: queued from a worker, done at once (after the queued ones) on the receiver's thread.
template <typename F>
void Post(QObject* receiver, F&& work) {
    if (OnThreadOf(receiver)) {
        FlushQueued(receiver);
        work();
        return;
    }
    QMetaObject::invokeMethod(receiver, std::forward<F>(work), Qt::QueuedConnection);
}

// A change that always goes through the queue, even on the receiver's own
// thread (for reports made while a lock is held by the caller).
template <typename F>
void Queue(QObject* receiver, F&& work) {
    QMetaObject::invokeMethod(receiver, std::forward<F>(work), Qt::QueuedConnection);
}

// A call whose caller waits for it (and for everything queued before it).
template <typename F>
auto Call(QObject* receiver, F&& work) -> std::invoke_result_t<F&> {
    using Result = std::invoke_result_t<F&>;
    if (OnThreadOf(receiver)) {
        FlushQueued(receiver);
        return work();
    }
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(receiver, std::forward<F>(work), Qt::BlockingQueuedConnection);
    } else {
        Result result{};
        QMetaObject::invokeMethod(receiver, [&result, &work] { result = work(); }, Qt::BlockingQueuedConnection);
        return result;
    }
}

}  // namespace app
