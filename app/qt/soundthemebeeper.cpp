#include "app/qt/soundthemebeeper.h"

#include <canberra.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace ostavel {

namespace {

// The portal hands a setting back as a variant, older versions as a variant in a variant.
QVariant unwrapped(QVariant value) {
    while (value.canConvert<QDBusVariant>()) {
        value = qvariant_cast<QDBusVariant>(value).variant();
    }
    return value;
}

// Where the desktop keeps its sound settings, as the portal names them.
namespace soundKeys {
const QString group = QStringLiteral("org.gnome.desktop.sound");
const QString eventSounds = QStringLiteral("event-sounds");
const QString themeName = QStringLiteral("theme-name");
}  // namespace soundKeys

}  // namespace

SoundThemeBeeper::SoundThemeBeeper(const QString& appId) {
    if (ca_context_create(&context_) != CA_SUCCESS) {
        context_ = nullptr;
        return;
    }
    const QByteArray id = appId.toUtf8();
    ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, "Ostavel", CA_PROP_APPLICATION_ID,
                            id.constData(), CA_PROP_APPLICATION_ICON_NAME, id.constData(), nullptr);
    readDesktopSettings();
}

SoundThemeBeeper::~SoundThemeBeeper() {
    if (context_ != nullptr) {
        ca_context_destroy(context_);
    }
}

void SoundThemeBeeper::Beep() {
    if (context_ == nullptr || !eventSounds_) {
        return;
    }
    const QByteArray theme = theme_.toUtf8();
    // Played asynchronously by the sound server; a failure leaves the forecast as it is.
    ca_context_play(context_, 0, CA_PROP_EVENT_ID, "bell-window-system", CA_PROP_EVENT_DESCRIPTION,
                    "Forecast ready", CA_PROP_CANBERRA_XDG_THEME_NAME, theme.constData(),
                    CA_PROP_CANBERRA_CACHE_CONTROL, "permanent", nullptr);
}

void SoundThemeBeeper::readDesktopSettings() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
    const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
    const QString settings = QStringLiteral("org.freedesktop.portal.Settings");
    // Listening before reading: a change made between the two is not missed.
    bus.connect(service, path, settings, QStringLiteral("SettingChanged"), this,
                SLOT(settingChanged(QDBusMessage)));
    for (const QString& key : {soundKeys::eventSounds, soundKeys::themeName}) {
        QDBusMessage call =
            QDBusMessage::createMethodCall(service, path, settings, QStringLiteral("Read"));
        call << soundKeys::group << key;
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, key](QDBusPendingCallWatcher* finished) {
                    const QDBusPendingReply<QVariant> reply = *finished;
                    if (reply.isValid()) {
                        apply(key, unwrapped(reply.value()));
                    }
                    finished->deleteLater();
                });
    }
}

void SoundThemeBeeper::settingChanged(const QDBusMessage& change) {
    const QList<QVariant> arguments = change.arguments();  // group, key, value
    if (arguments.size() == 3 && arguments[0].toString() == soundKeys::group) {
        apply(arguments[1].toString(), unwrapped(arguments[2]));
    }
}

void SoundThemeBeeper::apply(const QString& key, const QVariant& value) {
    if (key == soundKeys::eventSounds && value.typeId() == QMetaType::Bool) {
        eventSounds_ = value.toBool();
    } else if (key == soundKeys::themeName && value.typeId() == QMetaType::QString &&
               !value.toString().isEmpty()) {
        theme_ = value.toString();
    }
}

}  // namespace ostavel
