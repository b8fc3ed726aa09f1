#include "support/Rigctld.h"

#include <QDeadlineTimer>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace hm52::test {

namespace {

// Binds a socket to a port of the loopback address (0: any free one), or connects it there;
// true when that worked.
bool onLoopback(int socket, quint16 port, bool connect) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto* at = reinterpret_cast<const sockaddr*>(&address);
    return (connect ? ::connect(socket, at, sizeof(address)) : bind(socket, at, sizeof(address))) ==
           0;
}

// The port a socket is bound to.
quint16 boundPort(int socket) {
    sockaddr_in address{};
    socklen_t size = sizeof(address);
    getsockname(socket, reinterpret_cast<sockaddr*>(&address), &size);
    return ntohs(address.sin_port);
}

// A port that nothing listens on at this moment.
quint16 freePort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    const quint16 port = onLoopback(probe, 0, false) ? boundPort(probe) : 0;
    close(probe);
    return port;
}

bool accepts(quint16 port) {
    const int client = socket(AF_INET, SOCK_STREAM, 0);
    const bool connected = onLoopback(client, port, true);
    close(client);
    return connected;
}

// Where one of Hamlib's tools is; empty, with what to install in `failure`, when it is not.
QString tool(const QString& name, QString& failure) {
    const QString path = QStandardPaths::findExecutable(name);
    if (path.isEmpty()) {
        failure = u"%1 is missing: install Debian's libhamlib-utils (tools/setup-debian.sh "
                  u"installs it)"_s.arg(name);
    }
    return path;
}

} // namespace

bool Rigctld::start() {
    const QString program = tool(u"rigctld"_s, failure_);
    if (program.isEmpty()) {
        return false;
    }
    kill();
    // A free port may be taken between the look and rigctld's bind: try a few.
    const bool again = port_ != 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        port_ = again ? port_ : freePort();
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(program,
                       {u"-m"_s, u"1"_s, u"-T"_s, u"127.0.0.1"_s, u"-t"_s, QString::number(port_)});
        if (!process_.waitForStarted(10000)) {
            failure_ = u"rigctld does not start: "_s + process_.errorString();
            return false;
        }
        for (const QDeadlineTimer deadline(15000);
             !deadline.hasExpired() && process_.state() == QProcess::Running; QThread::msleep(50)) {
            if (accepts(port_)) {
                return true;
            }
        }
        failure_ = u"rigctld takes no connection on port %1: %2"_s.arg(port_).arg(
            QString::fromLocal8Bit(process_.readAll()));
        kill();
        if (again) {
            QThread::msleep(500); // the port may still be held for a moment
        }
    }
    return false;
}

void Rigctld::kill() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(10000);
    }
}

bool Rigctld::rigctl(const QString& commands) {
    const QString program = tool(u"rigctl"_s, failure_);
    if (program.isEmpty()) {
        return false;
    }
    QProcess rigctl;
    rigctl.setProcessChannelMode(QProcess::MergedChannels);
    rigctl.start(program, QStringList{u"-m"_s, u"2"_s, u"-r"_s, address()} + commands.split(u' '));
    if (!rigctl.waitForFinished(15000) || rigctl.exitStatus() != QProcess::NormalExit ||
        rigctl.exitCode() != 0) {
        failure_ =
            u"rigctl %1 failed: %2"_s.arg(commands, QString::fromLocal8Bit(rigctl.readAll()));
        return false;
    }
    return true;
}

SilentPort::SilentPort(Kind kind) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    if (!onLoopback(listener_, 0, false) || listen(listener_, kind == Hanging ? 0 : 16) != 0) {
        close(listener_);
        listener_ = -1;
        return;
    }
    port_ = boundPort(listener_);
    if (kind == Hanging) {
        // Connections nobody accepts fill the queue; later ones wait.
        for (int i = 0; i < 3; ++i) {
            fillers_.push_back(socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
            onLoopback(fillers_.back(), port_, true);
        }
        QThread::msleep(200);
    }
}

SilentPort::~SilentPort() {
    for (const int filler : fillers_) {
        close(filler);
    }
    if (listener_ >= 0) {
        close(listener_);
    }
}

} // namespace hm52::test
