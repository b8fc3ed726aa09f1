#include "rig/RigSettings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace hm52::rig {

namespace {

const QString keyModel = QStringLiteral("rig/model");
const QString keyPort = QStringLiteral("rig/port");
const QString keySpeed = QStringLiteral("rig/speed");
const QString keyConnect = QStringLiteral("rig/connectAtStart");

// "host:port" with a port number: the port number, else 0.
int networkPortNumber(const QString& port) {
    const qsizetype colon = port.lastIndexOf(u':');
    if (colon <= 0) {
        return 0;
    }
    bool ok = false;
    const int number = port.mid(colon + 1).toInt(&ok);
    return ok && number > 0 && number <= 65535 ? number : 0;
}

} // namespace

bool isNetworkPort(const QString& port) {
    return !port.isEmpty() && !port.startsWith(u'/');
}

QString settingsProblem(const RigSettings& settings) {
    if (settings.model <= 0) {
        return QStringLiteral("Choose your rig's model in the list (type part of its name or its "
                              "number in the search box to find it).");
    }
    const QString port = settings.port.trimmed();
    if (port.isEmpty()) {
        return QStringLiteral("Type the rig's port: its serial device (such as /dev/ttyUSB0) or "
                              "the host:port of a rigctld (such as localhost:4532).");
    }
    if (isNetworkPort(port) && networkPortNumber(port) == 0) {
        return QStringLiteral("\"%1\" is neither a serial device (a path such as /dev/ttyUSB0) "
                              "nor the host:port of a rigctld (such as localhost:4532).")
            .arg(port);
    }
    if (settings.speed != 0 && !serialSpeeds().contains(settings.speed)) {
        return QStringLiteral("%1 is not a serial speed; choose one of the list.")
            .arg(settings.speed);
    }
    return {};
}

const QList<int>& serialSpeeds() {
    static const QList<int> speeds{1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
    return speeds;
}

RigSettings RigOverrides::applyTo(RigSettings saved) const {
    if (model) {
        saved.model = *model;
    }
    if (port) {
        saved.port = *port;
    }
    if (speed) {
        saved.speed = *speed;
    }
    return saved;
}

RigOverrides parseOverrides(const QString& model, const QString& port, const QString& speed,
                            QString* error) {
    RigOverrides given;
    QStringList wrong;
    bool ok = false;
    if (!model.isEmpty()) {
        const int number = model.toInt(&ok);
        if (ok && number > 0) {
            given.model = number;
        } else {
            wrong << QStringLiteral("--rig-model takes the rig's number in Hamlib's list (rigctl "
                                    "-l lists them), not \"%1\"")
                         .arg(model);
        }
    }
    if (!port.trimmed().isEmpty()) {
        given.port = port.trimmed();
    }
    if (!speed.isEmpty()) {
        const int baud = speed.toInt(&ok);
        if (ok && (baud == 0 || serialSpeeds().contains(baud))) {
            given.speed = baud;
        } else {
            QStringList speeds;
            for (const int s : serialSpeeds()) {
                speeds << QString::number(s);
            }
            wrong << QStringLiteral("--rig-speed takes one of %1 (or 0 for the rig's own), not "
                                    "\"%2\"")
                         .arg(speeds.join(QStringLiteral(", ")), speed);
        }
    }
    if (error != nullptr) {
        *error = wrong.join(u'\n');
    }
    return given;
}

RigSettingsStore::RigSettingsStore(QString path) : path_(std::move(path)) {}

QString RigSettingsStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/HM52/rig.conf");
}

RigSettings RigSettingsStore::saved() const {
    if (path_.isEmpty()) {
        return memory_;
    }
    const QSettings file(path_, QSettings::IniFormat);
    return {file.value(keyModel, 0).toInt(), file.value(keyPort).toString(),
            file.value(keySpeed, 0).toInt()};
}

bool RigSettingsStore::connectAtStart() const {
    if (path_.isEmpty()) {
        return memoryConnect_;
    }
    return QSettings(path_, QSettings::IniFormat).value(keyConnect, false).toBool();
}

QString RigSettingsStore::save(const RigSettings& settings, bool connect) {
    if (path_.isEmpty()) {
        memory_ = settings;
        memoryConnect_ = connect;
        return {};
    }
    QSettings file(path_, QSettings::IniFormat);
    file.setValue(keyModel, settings.model);
    file.setValue(keyPort, settings.port);
    file.setValue(keySpeed, settings.speed);
    file.setValue(keyConnect, connect);
    file.sync();
    if (file.status() != QSettings::NoError) {
        return QStringLiteral("The rig settings could not be written to %1: check that you can "
                              "write in that folder.")
            .arg(QDir::toNativeSeparators(path_));
    }
    return {};
}

bool RigSettingsStore::startsConnected() const {
    return session_.isEmpty() ? connectAtStart() && !saved().isEmpty() : !inForce().isEmpty();
}

bool RigSettingsStore::savesOnConnect(const RigSettings& chosen) const {
    return session_.isEmpty() || chosen != inForce();
}

} // namespace hm52::rig
