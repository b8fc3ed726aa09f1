#include "support/Rigctld.h"

#include <QDeadlineTimer>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace hm52::test {

namespace {

sockaddr_in loopback(quint16 port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// The port a socket is bound to.
quint16 boundPort(int socket) {
    sockaddr_in address{};
    socklen_t size = sizeof(address);
    if (getsockname(socket, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return 0;
    }
    return ntohs(address.sin_port);
}

// A port that nothing listens on at this moment.
quint16 freePort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in any = loopback(0);
    quint16 port = 0;
    if (bind(probe, reinterpret_cast<sockaddr*>(&any), sizeof(any)) == 0) {
        port = boundPort(probe);
    }
    close(probe);
    return port;
}

bool accepts(quint16 port) {
    const int client = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopback(port);
    const bool connected =
        ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
    close(client);
    return connected;
}

QString found(const QString& tool) {
    return QStandardPaths::findExecutable(tool);
}

QString missing(const QString& tool) {
    return QStringLiteral("%1 is missing: install Debian's libhamlib-utils "
                          "(tools/setup-debian.sh installs it)")
        .arg(tool);
}

} // namespace

Rigctld::~Rigctld() {
    kill();
}

QString Rigctld::address() const {
    return QStringLiteral("127.0.0.1:%1").arg(port_);
}

bool Rigctld::start() {
    const QString program = found(QStringLiteral("rigctld"));
    if (program.isEmpty()) {
        failure_ = missing(QStringLiteral("rigctld"));
        return false;
    }
    kill();
    // A free port may be taken between the look and rigctld's bind: try a few.
    const bool again = port_ != 0;
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (!again) {
            port_ = freePort();
        }
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(program,
                       {QStringLiteral("-m"), QStringLiteral("1"), QStringLiteral("-T"),
                        QStringLiteral("127.0.0.1"), QStringLiteral("-t"), QString::number(port_)});
        if (!process_.waitForStarted(10000)) {
            failure_ = QStringLiteral("rigctld does not start: ") + process_.errorString();
            return false;
        }
        const QDeadlineTimer deadline(15000);
        while (!deadline.hasExpired() && process_.state() == QProcess::Running) {
            if (accepts(port_)) {
                return true;
            }
            QThread::msleep(50);
        }
        failure_ = QStringLiteral("rigctld takes no connection on port %1: %2")
                       .arg(port_)
                       .arg(QString::fromLocal8Bit(process_.readAll()));
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

bool Rigctld::rigctl(const QStringList& args) {
    const QString program = found(QStringLiteral("rigctl"));
    if (program.isEmpty()) {
        failure_ = missing(QStringLiteral("rigctl"));
        return false;
    }
    QProcess rigctl;
    rigctl.setProcessChannelMode(QProcess::MergedChannels);
    rigctl.start(program, QStringList{QStringLiteral("-m"), QStringLiteral("2"),
                                      QStringLiteral("-r"), address()} +
                              args);
    if (!rigctl.waitForFinished(15000) || rigctl.exitStatus() != QProcess::NormalExit ||
        rigctl.exitCode() != 0) {
        failure_ = QStringLiteral("rigctl %1 failed: %2")
                       .arg(args.join(u' '), QString::fromLocal8Bit(rigctl.readAll()));
        return false;
    }
    return true;
}

SilentPort::SilentPort(Kind kind) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in any = loopback(0);
    if (bind(listener_, reinterpret_cast<sockaddr*>(&any), sizeof(any)) != 0 ||
        listen(listener_, kind == Hanging ? 0 : 16) != 0) {
        close(listener_);
        listener_ = -1;
        return;
    }
    port_ = boundPort(listener_);
    if (kind == Silent) {
        return;
    }
    // Connections nobody accepts fill the queue; later ones wait.
    for (int i = 0; i < 3; ++i) {
        const int filler = socket(AF_INET, SOCK_STREAM, 0);
        fcntl(filler, F_SETFL, O_NONBLOCK);
        sockaddr_in address = loopback(port_);
        ::connect(filler, reinterpret_cast<sockaddr*>(&address), sizeof(address));
        fillers_.push_back(filler);
    }
    QThread::msleep(200);
}

SilentPort::~SilentPort() {
    for (const int filler : fillers_) {
        close(filler);
    }
    if (listener_ >= 0) {
        close(listener_);
    }
}

QString SilentPort::address() const {
    return QStringLiteral("127.0.0.1:%1").arg(port_);
}

} // namespace hm52::test
