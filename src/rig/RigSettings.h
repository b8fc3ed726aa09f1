#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace hm52::rig {

// Which rig to talk to, through Hamlib: its model number in Hamlib's list, its port (a serial
// device such as /dev/ttyUSB0, or the host:port of a rigctld) and the serial speed (0: the
// rig's own default).
struct RigSettings {
    int model = 0;
    QString port;
    int speed = 0;

    bool isEmpty() const { return model == 0 && port.isEmpty(); }
    bool operator==(const RigSettings&) const = default;
};

// A port that names a network address (host:port of a rigctld) rather than a device.
bool isNetworkPort(const QString& port);

// What is wrong with the settings, in words that say what to do; empty when they can be
// tried. (Whether Hamlib knows the model is the model list's to say.)
QString settingsProblem(const RigSettings& settings);

// The serial speeds offered, slowest first.
const QList<int>& serialSpeeds();

// Settings given for one run (the command line): each one given overrides the saved one.
struct RigOverrides {
    std::optional<int> model;
    std::optional<QString> port;
    std::optional<int> speed;

    bool isEmpty() const { return !model && !port && !speed; }
    RigSettings applyTo(RigSettings saved) const;
};

// Reads the command line's texts (an empty text: not given). Returns the overrides, or sets
// `error` to what is wrong.
RigOverrides parseOverrides(const QString& model, const QString& port, const QString& speed,
                            QString* error);

// Where the rig's settings live: a small settings file of the user's own (the rig belongs to
// the station, not to the log), plus what the command line gave for this run, which is used
// but never written.
class RigSettingsStore {
public:
    // `path`: the settings file; empty keeps the settings in memory only, for this run.
    explicit RigSettingsStore(QString path = {});

    // The user's configuration folder's file: ~/.config/HM52/rig.conf on Debian.
    static QString defaultPath();
    const QString& path() const { return path_; }

    // The saved settings, and whether the rig is connected at start.
    RigSettings saved() const;
    bool connectAtStart() const;
    // Saves the settings and whether to connect at start; returns what went wrong, or empty.
    QString save(const RigSettings& settings, bool connectAtStart);

    void setSession(const RigOverrides& overrides) { session_ = overrides; }
    const RigOverrides& session() const { return session_; }
    // The settings in force: the saved ones with the session's overrides.
    RigSettings inForce() const { return session_.applyTo(saved()); }
    // Whether the program connects the rig at its start: the command line gave settings, or
    // the saved ones ask for it.
    bool startsConnected() const;
    // Whether connecting with these settings saves them: not when they are the session's own.
    bool savesOnConnect(const RigSettings& chosen) const;

private:
    QString path_;
    RigOverrides session_;
    // The memory-only store's settings.
    RigSettings memory_;
    bool memoryConnect_ = false;
};

} // namespace hm52::rig
