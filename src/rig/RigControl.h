#pragma once

#include "rig/Hamlib.h"
#include "rig/RigSettings.h"

#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <thread>

namespace hm52::rig {

// The station's rig, read through Hamlib. Every Hamlib call runs on a worker thread of its
// own, so a rig that does not answer never holds up the thread that owns this object: it
// learns of readings and states through signals, delivered on its own thread.
//
// Connected, the worker reads the frequency and mode every pollMs and signals a reading only
// when it changed. A rig that stops answering (a timeout, a closed connection, a device
// unplugged) is said in the state text, and the worker tries it again every retryMs until it
// answers.
class RigControl : public QObject {
    Q_OBJECT
public:
    enum class State {
        NotConnected, // no rig chosen, or disconnected
        Connecting,
        Connected,
        NotAnswering, // tried again every retryMs
        Failed,       // refused for good: the settings must change
    };

    static constexpr int pollMs = 400;
    static constexpr int retryMs = 1000;
    // The longest the end of this object waits for a Hamlib call still running; the worker
    // is then left to finish it alone.
    static constexpr int stopWaitMs = 1000;

    explicit RigControl(QObject* parent = nullptr);
    // Stops the worker, waiting at most stopWaitMs.
    ~RigControl() override;
    RigControl(const RigControl&) = delete;
    RigControl& operator=(const RigControl&) = delete;

    // Connects to the rig of these settings (closing any other) and keeps reading it.
    void connectRig(const RigSettings& settings);
    // Closes the rig; the state turns to not connected.
    void disconnectRig();

    // Asks for Hamlib's list of models; modelsListed() says when models() holds it.
    void listModels();
    const QList<RigModel>& models() const { return models_; }
    // The model of that number, or nullptr (also while the list is not there yet).
    const RigModel* model(int number) const;

    State state() const { return state_; }
    // "Rig: not connected", "Rig: connected, 144.300 MHz USB"...
    const QString& stateText() const { return stateText_; }
    // The connected rig's last reading; hz 0 and an empty mode when there is none.
    const Reading& reading() const { return reading_; }
    // The settings being used; empty when not connected.
    const RigSettings& settings() const { return settings_; }

    static QString notConnectedText();
    static QString connectedText(const Reading& reading);

Q_SIGNALS:
    // A new reading of the connected rig: hz 0 is an unknown frequency; rigMode is Hamlib's
    // name of the mode ("USB", "CW", "FM", "PKTUSB"...), empty when unknown.
    void readingChanged(qint64 hz, const QString& rigMode);
    // The state, in words for the operator.
    void stateTextChanged(const QString& text);
    void modelsListed();

private:
    struct Shared;
    static void work(const std::shared_ptr<Shared>& shared);
    void startWorker();
    void want(const RigSettings& settings);
    void setState(State state, const QString& text);

    std::shared_ptr<Shared> shared_;
    std::thread worker_;
    quint64 generation_ = 0;
    State state_ = State::NotConnected;
    QString stateText_;
    Reading reading_;
    RigSettings settings_;
    QList<RigModel> models_;
};

} // namespace hm52::rig
