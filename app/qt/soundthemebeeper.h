#pragma once

#include <QDBusMessage>
#include <QObject>
#include <QString>

#include "runtime/beeper.h"

struct ca_context;

namespace ostavel {

// The beep where the display server has no bell of its own (Wayland): the freedesktop sound
// theme's window-system bell, played through libcanberra on the desktop's sound server.
//
// It follows the user's choices as the desktop's settings portal gives them (the sound theme,
// and whether event sounds are on): read in the background at start, and followed as the user
// changes them while the program runs, each change counting from the next beep. Until they
// arrive the freedesktop theme is used. Without a sound server, a theme or a portal it stays silent
// and says nothing: a beep is never worth an error.
class SoundThemeBeeper final : public QObject, public Beeper {
    Q_OBJECT

public:
    // appId names the program to the sound server, as the desktop knows it.
    explicit SoundThemeBeeper(const QString& appId);
    ~SoundThemeBeeper() override;
    SoundThemeBeeper(const SoundThemeBeeper&) = delete;
    SoundThemeBeeper& operator=(const SoundThemeBeeper&) = delete;

    void Beep() override;

private slots:
    // The portal's SettingChanged signal: the setting's group, its key and its new value.
    void settingChanged(const QDBusMessage& change);

private:
    void readDesktopSettings();
    void apply(const QString& key, const QVariant& value);

    ca_context* context_ = nullptr;
    bool eventSounds_ = true;
    QString theme_ = QStringLiteral("freedesktop");
};

}  // namespace ostavel
