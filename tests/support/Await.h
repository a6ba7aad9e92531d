#pragma once

#include <QCoro/QCoroTask>
#include <utility>

// A test waits for a coroutine of the program in an event loop of its own; the
// program itself never does.
template <typename T> T Await(QCoro::Task<T> task)
{
    return QCoro::waitFor(std::move(task));
}
