#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace testing_support {

// Arranges for `answer` to run on the next shown top-level window of type
// Window, from inside whatever loop waits for it, as soon as it is up. When
// none shows within about five seconds, `answer` never runs.
template <typename Window>
void AnswerNextWindow(std::function<void(Window& window)> answer)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    auto triesLeft = std::make_shared<int>(500);
    QObject::connect(timer, &QTimer::timeout, [timer, triesLeft, answer = std::move(answer)] {
        Window* found = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* window = qobject_cast<Window*>(widget); window && window->isVisible())
                found = window;
        }
        if (found || --*triesLeft <= 0) {
            timer->stop();
            timer->deleteLater();
        }
        if (found)
            answer(*found);
    });
    timer->start();
}

}  // namespace testing_support
