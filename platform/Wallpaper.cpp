#include "platform/Wallpaper.h"

#include "platform/HostPath.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QUrl>
#include <QtDebug>

namespace platform {

namespace {

std::unique_ptr<Wallpaper> &current()
{
    static std::unique_ptr<Wallpaper> instance;
    return instance;
}

void logNotChanged(const QString &why)
{
    qWarning().noquote() << QStringLiteral("lumadex-viewer: the wallpaper was not changed: ") + why;
}

// Runs one tool; a failure is logged with what the tool said.
bool runLogged(const CommandRunner &run, const QString &program, const QStringList &arguments)
{
    const CommandResult result = run(program, arguments);
    if (!result.ok)
        logNotChanged(program + QLatin1Char(' ') + arguments.join(QLatin1Char(' ')) + QStringLiteral(": ")
                      + result.error);
    return result.ok;
}

QString fileUri(const QString &hostPath)
{
    return hostFileUrl(hostPath).toString(QUrl::FullyEncoded);
}

// A string in GVariant text form, as gsettings reads its values.
QString gvariantString(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    text.replace(QLatin1Char('\''), QStringLiteral("\\'"));
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

// The background schemas of GNOME and its relatives: the picture and its
// "picture-options" ("wallpaper" tiles, "centered", "stretched").
class GSettingsWallpaper final : public Wallpaper {
public:
    struct Schema {
        QString name;
        QString pictureKey;
        bool pictureIsUri = true; // MATE keeps a plain file name
        QString darkPictureKey;  // GNOME 42 on: the picture of the dark style
    };

    GSettingsWallpaper(Schema schema, CommandRunner run) : m_schema(std::move(schema)), m_run(std::move(run)) {}

    bool setDesktopWallpaper(const QString &hostPath, WallpaperStyle style) override
    {
        const QString picture = m_schema.pictureIsUri ? fileUri(hostPath) : QFileInfo(hostPath).absoluteFilePath();
        // The style first, so the new picture appears in it at once.
        if (!set(QStringLiteral("picture-options"), QLatin1String(option(style))))
            return false;
        if (!set(m_schema.pictureKey, picture))
            return false;
        if (!m_schema.darkPictureKey.isEmpty() && hasKey(m_schema.darkPictureKey))
            return set(m_schema.darkPictureKey, picture);
        return true;
    }

private:
    static const char *option(WallpaperStyle style)
    {
        switch (style) {
        case WallpaperStyle::Tiled:
            return "wallpaper";
        case WallpaperStyle::Stretched:
            return "stretched";
        case WallpaperStyle::Centred:
            break;
        }
        return "centered";
    }

    bool set(const QString &key, const QString &value)
    {
        return runLogged(m_run, QStringLiteral("gsettings"),
                         {QStringLiteral("set"), m_schema.name, key, gvariantString(value)});
    }

    // Older schemas lack the dark picture; setting it there would only fail.
    bool hasKey(const QString &key)
    {
        const CommandResult keys = m_run(QStringLiteral("gsettings"), {QStringLiteral("list-keys"), m_schema.name});
        return keys.ok && QString::fromUtf8(keys.output).split(QLatin1Char('\n')).contains(key);
    }

    Schema m_schema;
    CommandRunner m_run;
};

// Plasma: every desktop's image wallpaper through the shell's scripting interface.
class PlasmaWallpaper final : public Wallpaper {
public:
    explicit PlasmaWallpaper(CommandRunner run) : m_run(std::move(run)) {}

    bool setDesktopWallpaper(const QString &hostPath, WallpaperStyle style) override
    {
        // The image wallpaper's FillMode: 3 tiles, 6 centres (pads), 0 stretches.
        const int fillMode = style == WallpaperStyle::Tiled ? 3 : style == WallpaperStyle::Stretched ? 0 : 6;
        const QByteArray quoted = QJsonDocument(QJsonArray{fileUri(hostPath)}).toJson(QJsonDocument::Compact);
        const QString uri = QString::fromUtf8(quoted.mid(1, quoted.size() - 2)); // a JavaScript string literal
        const QString script = QStringLiteral("var all = desktops();"
                                              "for (var i = 0; i < all.length; ++i) {"
                                              " var d = all[i];"
                                              " d.wallpaperPlugin = 'org.kde.image';"
                                              " d.currentConfigGroup = ['Wallpaper', 'org.kde.image', 'General'];"
                                              " d.writeConfig('Image', %1);"
                                              " d.writeConfig('FillMode', %2);"
                                              "}")
                                   .arg(uri)
                                   .arg(fillMode);
        return runLogged(m_run, QStringLiteral("dbus-send"),
                         {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                          QStringLiteral("--dest=org.kde.plasmashell"), QStringLiteral("--type=method_call"),
                          QStringLiteral("/PlasmaShell"), QStringLiteral("org.kde.PlasmaShell.evaluateScript"),
                          QStringLiteral("string:") + script});
    }

private:
    CommandRunner m_run;
};

// XFCE: each monitor and workspace has its own backdrop, named by a
// ".../last-image" property of the xfce4-desktop channel.
class XfceWallpaper final : public Wallpaper {
public:
    explicit XfceWallpaper(CommandRunner run) : m_run(std::move(run)) {}

    bool setDesktopWallpaper(const QString &hostPath, WallpaperStyle style) override
    {
        const QString channel = QStringLiteral("xfce4-desktop");
        const CommandResult listing = m_run(QStringLiteral("xfconf-query"), {QStringLiteral("-c"), channel, QStringLiteral("-l")});
        if (!listing.ok) {
            logNotChanged(QStringLiteral("xfconf-query -c xfce4-desktop -l: ") + listing.error);
            return false;
        }
        // image-style: 1 centred, 2 tiled, 3 stretched.
        const QString imageStyle = style == WallpaperStyle::Tiled ? QStringLiteral("2")
                                   : style == WallpaperStyle::Stretched ? QStringLiteral("3")
                                                                        : QStringLiteral("1");
        const QString suffix = QStringLiteral("/last-image");
        bool any = false;
        bool ok = true;
        for (const QString &line : QString::fromUtf8(listing.output).split(QLatin1Char('\n'))) {
            const QString property = line.trimmed();
            if (!property.endsWith(suffix))
                continue;
            any = true;
            const QString backdrop = property.left(property.size() - suffix.size());
            ok = runLogged(m_run, QStringLiteral("xfconf-query"),
                           {QStringLiteral("-c"), channel, QStringLiteral("-p"), backdrop + QStringLiteral("/image-style"),
                            QStringLiteral("-n"), QStringLiteral("-t"), QStringLiteral("int"), QStringLiteral("-s"), imageStyle})
                 && ok;
            ok = runLogged(m_run, QStringLiteral("xfconf-query"),
                           {QStringLiteral("-c"), channel, QStringLiteral("-p"), property, QStringLiteral("-n"),
                            QStringLiteral("-t"), QStringLiteral("string"), QStringLiteral("-s"),
                            QFileInfo(hostPath).absoluteFilePath()})
                 && ok;
        }
        if (!any)
            logNotChanged(QStringLiteral("XFCE lists no backdrop (no .../last-image property in xfce4-desktop)"));
        return any && ok;
    }

private:
    CommandRunner m_run;
};

class NoWallpaper final : public Wallpaper {
public:
    explicit NoWallpaper(QString desktopName) : m_desktopName(std::move(desktopName)) {}

    bool setDesktopWallpaper(const QString &, WallpaperStyle) override
    {
        logNotChanged(QStringLiteral("no known desktop in XDG_CURRENT_DESKTOP (\"%1\")").arg(m_desktopName));
        return false;
    }

private:
    QString m_desktopName;
};

} // namespace

WallpaperStyle wallpaperStyleFromValues(const QString &tileWallpaper, const QString &wallpaperStyle)
{
    if (tileWallpaper == QLatin1String("1"))
        return WallpaperStyle::Tiled;
    if (wallpaperStyle == QLatin1String("2"))
        return WallpaperStyle::Stretched;
    return WallpaperStyle::Centred;
}

Wallpaper &wallpaper()
{
    if (!current())
        current() = makeDesktopWallpaper();
    return *current();
}

void setWallpaper(std::unique_ptr<Wallpaper> instance)
{
    current() = std::move(instance);
}

Desktop desktopFrom(const QString &xdgCurrentDesktop)
{
    for (const QString &entry : xdgCurrentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        const QString name = entry.trimmed().toUpper();
        if (name == QLatin1String("GNOME") || name == QLatin1String("UNITY"))
            return Desktop::Gnome;
        if (name == QLatin1String("X-CINNAMON") || name == QLatin1String("CINNAMON"))
            return Desktop::Cinnamon;
        if (name == QLatin1String("MATE"))
            return Desktop::Mate;
        if (name == QLatin1String("KDE"))
            return Desktop::Kde;
        if (name == QLatin1String("XFCE"))
            return Desktop::Xfce;
    }
    return Desktop::Unknown;
}

CommandResult runCommand(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted())
        return {false, {}, process.errorString()};
    process.closeWriteChannel();
    // The tools answer at once; one that hangs must not freeze the viewer.
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return {false, {}, QStringLiteral("no answer within 30 seconds")};
    }
    CommandResult result;
    result.ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    result.output = process.readAllStandardOutput();
    result.error = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    if (!result.ok && result.error.isEmpty())
        result.error = QStringLiteral("exit status %1").arg(process.exitCode());
    return result;
}

std::unique_ptr<Wallpaper> makeDesktopWallpaper(Desktop desktop, CommandRunner run)
{
    using Schema = GSettingsWallpaper::Schema;
    switch (desktop) {
    case Desktop::Gnome:
        return std::make_unique<GSettingsWallpaper>(
            Schema{QStringLiteral("org.gnome.desktop.background"), QStringLiteral("picture-uri"), true,
                   QStringLiteral("picture-uri-dark")},
            std::move(run));
    case Desktop::Cinnamon:
        return std::make_unique<GSettingsWallpaper>(
            Schema{QStringLiteral("org.cinnamon.desktop.background"), QStringLiteral("picture-uri"), true, {}},
            std::move(run));
    case Desktop::Mate:
        return std::make_unique<GSettingsWallpaper>(
            Schema{QStringLiteral("org.mate.background"), QStringLiteral("picture-filename"), false, {}},
            std::move(run));
    case Desktop::Kde:
        return std::make_unique<PlasmaWallpaper>(std::move(run));
    case Desktop::Xfce:
        return std::make_unique<XfceWallpaper>(std::move(run));
    case Desktop::Unknown:
        break;
    }
    return std::make_unique<NoWallpaper>(qEnvironmentVariable("XDG_CURRENT_DESKTOP"));
}

std::unique_ptr<Wallpaper> makeDesktopWallpaper()
{
    return makeDesktopWallpaper(desktopFrom(qEnvironmentVariable("XDG_CURRENT_DESKTOP")));
}

} // namespace platform
