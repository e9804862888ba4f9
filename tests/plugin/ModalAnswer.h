#pragma once
// Answers a modal dialog from the event loop it runs: tests that go through exec() use it.

#include <QApplication>
#include <QTimer>
#include <functional>

namespace plugintest {

// Runs Answer on the next modal dialog of type T as soon as it is up.
template <class T>
void AnswerModal(std::function<void(T*)> Answer) {
    auto* Timer = new QTimer(qApp);
    Timer->setInterval(5);
    QObject::connect(Timer, &QTimer::timeout, [Timer, Answer] {
        if (auto* Dialog = dynamic_cast<T*>(QApplication::activeModalWidget())) {
            Timer->stop();
            Timer->deleteLater();
            Answer(Dialog);
        }
    });
    Timer->start();
}

}  // namespace plugintest
