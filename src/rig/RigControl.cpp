#include "rig/RigControl.h"

#include <QMetaObject>

#include <chrono>
#include <clocale>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <utility>

namespace hm52::rig {

namespace {

using Clock = std::chrono::steady_clock;

// Hamlib keeps global state (its backends, its debug trail); two workers, say a new one and
// an old one left finishing a call, take turns inside it. Never destroyed, so a worker left
// running at the program's end never meets a destroyed lock.
std::mutex& hamlibLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

template <class F> auto inHamlib(F&& call) {
    const std::lock_guard<std::mutex> held(hamlibLock());
    return call();
}

QString megahertz(qint64 hz) {
    QString text = QString::number(static_cast<double>(hz) / 1e6, 'f', 6);
    // At least kHz, more digits only where the rig gives them: 144.300, 7.0745.
    while (text.endsWith(u'0') && text.size() - text.indexOf(u'.') > 4) {
        text.chop(1);
    }
    return text;
}

} // namespace

// What the owner and the worker share. The worker holds it too, so it outlives an owner that
// stopped waiting for it.
struct RigControl::Shared {
    std::mutex mutex;
    std::condition_variable wake;     // the owner has something for the worker
    std::condition_variable finished; // the worker is done
    bool stop = false;
    bool ended = false;
    bool listWanted = false;
    quint64 generation = 0;
    RigSettings wanted;
    RigControl* owner = nullptr;

    // Runs `apply` on the owner, on the owner's thread, if the owner is still there.
    template <class F> void post(F apply) {
        const std::lock_guard<std::mutex> held(mutex);
        if (owner != nullptr) {
            RigControl* to = owner;
            QMetaObject::invokeMethod(
                to, [to, apply = std::move(apply)]() { apply(*to); }, Qt::QueuedConnection);
        }
    }
};

RigControl::RigControl(QObject* parent) : QObject(parent), stateText_(notConnectedText()) {}

RigControl::~RigControl() {
    if (!shared_) {
        return;
    }
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->owner = nullptr;
    shared_->stop = true;
    shared_->wake.notify_all();
    const bool ended = shared_->finished.wait_for(lock, std::chrono::milliseconds(stopWaitMs),
                                                  [this]() { return shared_->ended; });
    lock.unlock();
    if (ended) {
        worker_.join();
    } else {
        // A Hamlib call that does not return (a connection to a host that never answers):
        // the worker ends by itself after it, holding what it needs.
        worker_.detach();
    }
}

QString RigControl::notConnectedText() {
    return QStringLiteral("Rig: not connected");
}

QString RigControl::connectedText(const Reading& reading) {
    QString text = QStringLiteral("Rig: connected");
    if (reading.hz > 0) {
        text += QStringLiteral(", ") + megahertz(reading.hz) + QStringLiteral(" MHz");
        if (!reading.mode.isEmpty()) {
            text += u' ' + reading.mode;
        }
    }
    return text;
}

const RigModel* RigControl::model(int number) const {
    for (const RigModel& m : models_) {
        if (m.number == number) {
            return &m;
        }
    }
    return nullptr;
}

void RigControl::setState(State state, const QString& text) {
    state_ = state;
    if (text != stateText_) {
        stateText_ = text;
        Q_EMIT stateTextChanged(text);
    }
}

void RigControl::startWorker() {
    if (shared_) {
        return;
    }
    // Hamlib reads the rig's numbers with the C library, so rig_open switches LC_NUMERIC to
    // "C" and back: from the worker, that would switch the whole process's locale under the
    // other threads, and Hamlib 4.5 then restores a locale name that the switch has freed.
    // Numbers in the C form for the whole process, set here before the worker starts, make
    // both harmless (Qt formats numbers with QLocale, not with the C locale).
    std::setlocale(LC_NUMERIC, "C");
    shared_ = std::make_shared<Shared>();
    shared_->owner = this;
    worker_ = std::thread(&RigControl::work, shared_);
}

void RigControl::want(const RigSettings& settings) {
    ++generation_;
    settings_ = settings;
    reading_ = {};
    startWorker();
    const std::lock_guard<std::mutex> held(shared_->mutex);
    shared_->wanted = settings;
    shared_->generation = generation_;
    shared_->wake.notify_all();
}

void RigControl::connectRig(const RigSettings& settings) {
    want(settings);
    setState(State::Connecting,
             QStringLiteral("Rig: connecting to %1\u2026").arg(settings.port.trimmed()));
}

void RigControl::disconnectRig() {
    if (!shared_) {
        setState(State::NotConnected, notConnectedText());
        return;
    }
    want({});
    setState(State::NotConnected, notConnectedText());
}

void RigControl::listModels() {
    if (!models_.isEmpty()) {
        return;
    }
    startWorker();
    const std::lock_guard<std::mutex> held(shared_->mutex);
    shared_->listWanted = true;
    shared_->wake.notify_all();
}

void RigControl::work(const std::shared_ptr<Shared>& shared) {
    inHamlib([]() {
        startHamlib();
        return 0;
    });
    HamlibRig rig;
    quint64 seen = 0;
    RigSettings settings;
    std::optional<Reading> last;
    QString shown;
    std::optional<Clock::time_point> nextAt;

    // A state for the owner, only when its text changes, tagged with the settings it is of.
    auto tell = [&](State state, const QString& text) {
        if (text == shown) {
            return;
        }
        shown = text;
        shared->post([state, text, generation = seen](RigControl& owner) {
            if (generation == owner.generation_) {
                owner.setState(state, text);
            }
        });
    };

    for (;;) {
        bool list = false;
        bool changed = false;
        {
            std::unique_lock<std::mutex> lock(shared->mutex);
            auto woken = [&]() {
                return shared->stop || shared->listWanted || shared->generation != seen;
            };
            if (nextAt) {
                shared->wake.wait_until(lock, *nextAt, woken);
            } else {
                shared->wake.wait(lock, woken);
            }
            if (shared->stop) {
                break;
            }
            list = std::exchange(shared->listWanted, false);
            if (shared->generation != seen) {
                seen = shared->generation;
                settings = shared->wanted;
                changed = true;
            }
        }
        if (list) {
            QList<RigModel> models = inHamlib([]() { return hamlibModels(); });
            shared->post([models = std::move(models)](RigControl& owner) {
                owner.models_ = models;
                Q_EMIT owner.modelsListed();
            });
        }
        if (changed) {
            inHamlib([&rig]() {
                rig.close();
                return 0;
            });
            last.reset();
            shown.clear();
            nextAt = settings.isEmpty() ? std::nullopt : std::optional(Clock::now());
        }
        if (!nextAt || Clock::now() < *nextAt) {
            continue;
        }

        if (!rig.isOpen()) {
            const Outcome opened = inHamlib([&]() { return rig.open(settings); });
            if (opened.kind != Outcome::Done) {
                const bool again = opened.kind == Outcome::NotAnswering;
                tell(again ? State::NotAnswering : State::Failed, opened.text);
                nextAt = again ? std::optional(Clock::now() + std::chrono::milliseconds(retryMs))
                               : std::nullopt;
                continue;
            }
        }
        Reading reading;
        const Outcome read = inHamlib([&]() { return rig.read(reading); });
        if (read.kind != Outcome::Done) {
            // Opened afresh at the next try: a closed connection does not come back by itself.
            inHamlib([&rig]() {
                rig.close();
                return 0;
            });
            tell(State::NotAnswering, read.text);
            nextAt = Clock::now() + std::chrono::milliseconds(retryMs);
            continue;
        }
        if (last != reading) {
            last = reading;
            shared->post([reading, generation = seen](RigControl& owner) {
                if (generation == owner.generation_) {
                    owner.reading_ = reading;
                    Q_EMIT owner.readingChanged(reading.hz, reading.mode);
                }
            });
        }
        tell(State::Connected, connectedText(reading));
        nextAt = Clock::now() + std::chrono::milliseconds(pollMs);
    }

    inHamlib([&rig]() {
        rig.close();
        return 0;
    });
    const std::lock_guard<std::mutex> held(shared->mutex);
    shared->ended = true;
    shared->finished.notify_all();
}

} // namespace hm52::rig
