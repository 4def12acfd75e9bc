// Remembered settings through QSettings: the registry on Windows, an INI file elsewhere.
#include "app/SettingsStore.h"

#include <cerrno>
#include <cstdint>
#include <limits>
#include <optional>

#include "app/ErrorList.h"

namespace {

constexpr qsizetype maximumBrowseBytes = 255;  // the stored text and its NUL fill 256 bytes

// The value as a 32-bit unsigned number, or nothing when it is not one. The registry hands a
// DWORD over as a signed int (its bits are the number); an INI file hands every value over as text.
std::optional<std::uint32_t> storedNumber(const QVariant& value) {
    constexpr qulonglong widest = std::numeric_limits<std::uint32_t>::max();
    bool ok = false;
    switch (value.typeId()) {
        case QMetaType::Int:
            return static_cast<std::uint32_t>(value.toInt());
        case QMetaType::UInt:
            return value.toUInt();
        case QMetaType::LongLong: {
            const qlonglong number = value.toLongLong();
            if (number < 0 || static_cast<qulonglong>(number) > widest) {
                return std::nullopt;
            }
            return static_cast<std::uint32_t>(number);
        }
        case QMetaType::ULongLong: {
            const qulonglong number = value.toULongLong();
            if (number > widest) {
                return std::nullopt;
            }
            return static_cast<std::uint32_t>(number);
        }
        case QMetaType::QString: {
            const QString text = value.toString();
            if (text.isEmpty() || !text.front().isDigit()) {  // no sign, no blank
                return std::nullopt;
            }
            const qulonglong number = text.toULongLong(&ok, 10);
            if (!ok || number > widest) {
                return std::nullopt;
            }
            return static_cast<std::uint32_t>(number);
        }
        default:
            return std::nullopt;
    }
}

void loadNumber(QSettings& store, const char* name, std::uint16_t& field) {
    if (const auto number = storedNumber(store.value(name))) {
        field = static_cast<std::uint16_t>(*number & 0xFFFFu);
    }
}

}  // namespace

std::unique_ptr<QSettings> openProgramSettings() {
#ifdef _WIN32
    auto store = std::make_unique<QSettings>(QStringLiteral("HKEY_CURRENT_USER\\Software\\Tamsk\\VelkMerge"),
                                             QSettings::NativeFormat);
#else
    auto store = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QStringLiteral("Tamsk"), QStringLiteral("VelkMerge"));
#endif
    // Only the user's own values count, never an organisation-wide or system-wide file.
    store->setFallbacksEnabled(false);
    return store;
}

bool loadSettings(ProgramSettings& settings, QSettings& store) {
    if (!store.childGroups().contains(QLatin1String(settingsGroup))) {
        return false;
    }
    store.beginGroup(QLatin1String(settingsGroup));
    loadNumber(store, "OutFormat", settings.OutFormat);
    loadNumber(store, "InFormat", settings.InFormat);
    const QVariant browse = store.value("LastBrowse");
    if (browse.typeId() == QMetaType::QString) {
        // Paths are held as bytes in the local 8-bit encoding, the same the file calls use.
        const QByteArray bytes = browse.toString().toLocal8Bit();
        if (bytes.size() <= maximumBrowseBytes) {
            settings.LastBrowse = bytes.toStdString();
        }
    }
    store.endGroup();
    return true;
}

void saveSettings(const ProgramSettings& settings, QSettings& store, MessageBoxes& boxes) {
    store.beginGroup(QLatin1String(settingsGroup));
    store.setValue("OutFormat", static_cast<uint>(settings.OutFormat));
    store.setValue("InFormat", static_cast<uint>(settings.InFormat));
    store.setValue("LastBrowse", QString::fromLocal8Bit(settings.LastBrowse));
    store.endGroup();
    errno = 0;
    store.sync();
    const int savedErrno = errno;
    if (store.status() == QSettings::NoError) {
        return;
    }
    ErrorList errors;
    errors.addFormatted("Unable to save program settings (%d)",
                        savedErrno != 0 ? savedErrno : static_cast<int>(store.status()));
    errors.show(boxes);
}
