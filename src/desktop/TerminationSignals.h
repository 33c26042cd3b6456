#pragma once

#include <QObject>

class QSocketNotifier;

namespace quorel::desktop
{
// Turns SIGTERM, SIGHUP and SIGINT into a Qt signal on the event loop: the handler only writes
// a byte to a socket pair, so that closing runs as an ordinary event.
class TerminationSignals final : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    void received();

private:
    void drain();

    QSocketNotifier *m_notifier = nullptr;
};
}
