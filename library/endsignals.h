#pragma once

#include <QObject>

class QSocketNotifier;

namespace library {

// Closes the main window, as its close button does, when the session or a
// user asks the process to end (SIGTERM, SIGINT, SIGHUP): the program then
// ends the ordinary way, with exit code 0. Everything was saved already;
// this only spares the user an abnormal end.
class EndSignals final : public QObject
{
    Q_OBJECT

public:
    // Signals that arrive while it lives call close on window.
    explicit EndSignals(QWidget& window);
    ~EndSignals() override;

private:
    QWidget& m_window;
    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace library
