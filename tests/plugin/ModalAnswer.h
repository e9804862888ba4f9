#pragma once
// Answers a modal dialog from the event loop it runs: tests that go through exec() use it.

#include <QApplication>
#include <QTimer>
#include <functional>

namespace plugintest {

// Runs Answer on the next modal dialog of type T as soon as it is up.
template <class T>
void answerModal(std::function<void(T*)> answer) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto* dialog = dynamic_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(dialog);
        }
    });
    timer->start();
}

}  // namespace plugintest
