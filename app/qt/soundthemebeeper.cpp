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
    const auto read = [&](const QString& key, auto apply) {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.portal.Desktop"),
            QStringLiteral("/org/freedesktop/portal/desktop"),
            QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("Read"));
        call << QStringLiteral("org.gnome.desktop.sound") << key;
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [apply](QDBusPendingCallWatcher* finished) {
                    const QDBusPendingReply<QVariant> reply = *finished;
                    if (reply.isValid()) {
                        apply(unwrapped(reply.value()));
                    }
                    finished->deleteLater();
                });
    };
    read(QStringLiteral("event-sounds"), [this](const QVariant& on) {
        if (on.typeId() == QMetaType::Bool) {
            eventSounds_ = on.toBool();
        }
    });
    read(QStringLiteral("theme-name"), [this](const QVariant& name) {
        if (name.typeId() == QMetaType::QString && !name.toString().isEmpty()) {
            theme_ = name.toString();
        }
    });
}

}  // namespace ostavel
