#pragma once

#include "rig/RigSettings.h"

#include <QList>
#include <QString>

struct s_rig;

namespace hm52::rig {

// One rig of Hamlib's list.
struct RigModel {
    int number = 0;
    QString manufacturer;
    QString model;
    QString status; // the driver's maturity as Hamlib names it ("Stable", "Beta"...)
};

// What the rig says: its frequency in Hz (0: unknown) and its mode as Hamlib names it ("USB",
// "CW", "PKTUSB"...; empty: unknown).
struct Reading {
    qint64 hz = 0;
    QString mode;
    bool operator==(const Reading&) const = default;
};

// How a Hamlib call ended.
struct Outcome {
    enum Kind {
        Done,
        NotAnswering, // worth trying again: a timeout, a closed connection, a missing device
        Refused,      // trying again cannot help until the settings change
    };
    Kind kind = Done;
    QString text; // the rig's state line, when it did not go well
};

// The only code that calls Hamlib's C API. Not thread-safe by itself: RigControl calls it
// from its one worker thread, and a process-wide lock keeps two workers from meeting inside
// Hamlib's global state.

// Readies Hamlib, before any other call: its debug output off, its backends loaded.
void startHamlib();
// Hamlib's rig models, by manufacturer and model name.
QList<RigModel> hamlibModels();

// One open rig.
class HamlibRig {
public:
    // The timeout of one exchange with the rig, and no retries: a dead rig is noticed in
    // about this time.
    static constexpr int timeoutMs = 500;

    HamlibRig() = default;
    ~HamlibRig();
    HamlibRig(const HamlibRig&) = delete;
    HamlibRig& operator=(const HamlibRig&) = delete;

    Outcome open(const RigSettings& settings);
    bool isOpen() const { return rig_ != nullptr; }
    // The frequency and mode; a mode the rig cannot report reads as unknown.
    Outcome read(Reading& reading);
    void close();

private:
    s_rig* rig_ = nullptr;
};

} // namespace hm52::rig
