#include "rig/Hamlib.h"

#include <QFileInfo>

#include <hamlib/rig.h>

#include <algorithm>
#include <cmath>

namespace hm52::rig {

namespace {

// Hamlib's own text of an error code, without the debug trail that rigerror() appends.
QString hamlibText(int code) {
    return QString::fromUtf8(rigerror2(code)).trimmed();
}

Outcome notAnswering(const QString& reason) {
    return {Outcome::NotAnswering,
            QStringLiteral("Rig: not answering (%1), retrying\u2026").arg(reason)};
}

Outcome failed(int code) {
    switch (code < 0 ? -code : code) {
    case RIG_ETIMEOUT:
        return notAnswering(QStringLiteral("timeout"));
    case RIG_EIO:
        return notAnswering(QStringLiteral("no connection"));
    case RIG_ECONF:
    case RIG_EINVAL:
        return {Outcome::Refused, QStringLiteral("Rig: Hamlib refuses these settings (%1); "
                                                 "check them in Utility, Rig...")
                                      .arg(hamlibText(code))};
    default:
        return notAnswering(hamlibText(code).toLower());
    }
}

// Sets one of Hamlib's configuration parameters by name, when this Hamlib has it.
int setConf(RIG* rig, const char* name, const QByteArray& value) {
    const token_t token = rig_token_lookup(rig, name);
    if (token == RIG_CONF_END) {
        return RIG_OK;
    }
    return rig_set_conf(rig, token, value.constData());
}

int addModel(const rig_caps* caps, rig_ptr_t data) {
    auto* models = static_cast<QList<RigModel>*>(data);
    models->append({static_cast<int>(caps->rig_model), QString::fromUtf8(caps->mfg_name).trimmed(),
                    QString::fromUtf8(caps->model_name).trimmed(),
                    QString::fromUtf8(rig_strstatus(caps->status))});
    return 1; // go on
}

} // namespace

void startHamlib() {
    rig_set_debug(RIG_DEBUG_NONE);
    // All backends once, before any rig_init: Hamlib 4.5 registers a backend's models again
    // (and loses the first entries) when all are loaded after rig_init loaded one.
    static bool loaded = false;
    if (!loaded) {
        rig_load_all_backends();
        loaded = true;
    }
}

QList<RigModel> hamlibModels() {
    QList<RigModel> models;
    rig_list_foreach(addModel, &models);
    std::sort(models.begin(), models.end(), [](const RigModel& a, const RigModel& b) {
        const int byMaker = QString::compare(a.manufacturer, b.manufacturer, Qt::CaseInsensitive);
        if (byMaker != 0) {
            return byMaker < 0;
        }
        const int byModel = QString::compare(a.model, b.model, Qt::CaseInsensitive);
        return byModel != 0 ? byModel < 0 : a.number < b.number;
    });
    return models;
}

HamlibRig::~HamlibRig() {
    close();
}

Outcome HamlibRig::open(const RigSettings& settings) {
    close();
    const QString port = settings.port.trimmed();
    if (!isNetworkPort(port)) {
        // Hamlib says only "IO error" for a device that is gone or not ours to open; the
        // operator needs to know which.
        const QFileInfo device(port);
        if (!device.exists()) {
            return {Outcome::NotAnswering,
                    QStringLiteral("Rig: %1 is not there (is the rig's cable plugged in?), "
                                   "retrying\u2026")
                        .arg(port)};
        }
        if (!device.isReadable() || !device.isWritable()) {
            return {Outcome::Refused,
                    QStringLiteral("Rig: no permission to open %1; add your user to its group "
                                   "(usually dialout) and log in again")
                        .arg(port)};
        }
    }
    // rig_init loads the model's backend itself.
    RIG* made = rig_init(static_cast<rig_model_t>(settings.model));
    if (made == nullptr) {
        return {Outcome::Refused,
                QStringLiteral("Rig: Hamlib knows no rig model %1; choose one in Utility, Rig...")
                    .arg(settings.model)};
    }
    // Fresh values on every reading: Hamlib's cache would hide a rig that stopped answering.
    rig_set_cache_timeout_ms(made, HAMLIB_CACHE_ALL, 0);
    int rc = setConf(made, "rig_pathname", port.toLocal8Bit());
    if (rc == RIG_OK) {
        rc = setConf(made, "timeout", QByteArray::number(timeoutMs));
    }
    for (const char* retries : {"retry", "timeout_retry"}) {
        if (rc == RIG_OK) {
            rc = setConf(made, retries, "0");
        }
    }
    if (rc == RIG_OK && settings.speed > 0 && !isNetworkPort(port)) {
        rc = setConf(made, "serial_speed", QByteArray::number(settings.speed));
    }
    if (rc == RIG_OK) {
        rc = rig_open(made);
    }
    if (rc != RIG_OK) {
        rig_cleanup(made);
        return failed(rc);
    }
    rig_ = made;
    return {};
}

Outcome HamlibRig::read(Reading& reading) {
    if (rig_ == nullptr) {
        return notAnswering(QStringLiteral("not open"));
    }
    freq_t frequency = 0;
    int rc = rig_get_freq(rig_, RIG_VFO_CURR, &frequency);
    if (rc != RIG_OK) {
        return failed(rc);
    }
    rmode_t mode = RIG_MODE_NONE;
    pbwidth_t width = 0;
    rc = rig_get_mode(rig_, RIG_VFO_CURR, &mode, &width);
    // A rig that cannot tell its mode still tells its frequency.
    if (rc != RIG_OK && !RIG_IS_SOFT_ERRCODE(-rc)) {
        return failed(rc);
    }
    reading.hz = frequency > 0 ? std::llround(frequency) : 0;
    reading.mode = rc == RIG_OK ? QString::fromUtf8(rig_strrmode(mode)) : QString();
    return {};
}

void HamlibRig::close() {
    if (rig_ == nullptr) {
        return;
    }
    rig_close(rig_);
    rig_cleanup(rig_);
    rig_ = nullptr;
}

} // namespace hm52::rig
