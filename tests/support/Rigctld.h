#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <vector>

namespace hm52::test {

// A real rigctld serving Hamlib's dummy rig (model 1) on a free local port, for the tests that
// read a rig: connect with model 2 (NET rigctl) to address(), and change the dummy rig with
// rigctl(). rigctld and rigctl come from Debian's libhamlib-utils; a missing one fails the
// test with what to install. Killed when it goes.
class Rigctld {
public:
    ~Rigctld() { kill(); }

    // Starts it on a free port (after kill(), on the same port again) and waits until it
    // takes connections. False with the reason in failure().
    bool start();
    // Kills it at once, as an unplugged rig or a crashed rigctld.
    void kill();

    // "127.0.0.1:PORT"
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }
    // Runs `rigctl -m 2 -r address()` with commands and their words parted by spaces
    // ("F 144300000 M USB 2400"); false with the reason in failure() when it does not succeed.
    bool rigctl(const QString& commands);
    const QString& failure() const { return failure_; }

private:
    QProcess process_;
    quint16 port_ = 0;
    QString failure_;
};

// A local port whose listener never accepts a connection nor answers.
class SilentPort {
public:
    enum Kind {
        Silent,  // a client's connection is taken (the system queues it) and never answered
        Hanging, // the queue is full: a client's connect waits for minutes, as with a host that
                 // does not answer
    };
    explicit SilentPort(Kind kind);
    ~SilentPort();
    SilentPort(const SilentPort&) = delete;
    SilentPort& operator=(const SilentPort&) = delete;

    bool isOpen() const { return listener_ >= 0; }
    // "127.0.0.1:PORT"
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }

private:
    int listener_ = -1;
    quint16 port_ = 0;
    std::vector<int> fillers_;
};

} // namespace hm52::test
