// Remembered settings through QSettings: the registry on Windows, an INI file elsewhere.
#include "gui/main/SettingsStore.h"

#include <cerrno>
#include <cstdint>
#include <limits>
#include <optional>

#include "core/calldata/FieldDefinition.h"
#include "core/workflow/ErrorList.h"
#include "gui/common/SettingsFile.h"

namespace {

constexpr qsizetype maximumBrowseBytes = 255;  // the stored text and its NUL fill 256 bytes

// The value as a 32-bit unsigned number, or nothing when it is not one. In the registry only a
// DWORD counts (a QWORD or a string is the wrong size or type); Qt hands it over as an int whose bits
// are the number. An INI file holds every value as text.
std::optional<std::uint32_t> storedNumber(const QVariant& value) {
#ifdef _WIN32
    if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::UInt) {
        return static_cast<std::uint32_t>(value.toUInt());
    }
    return std::nullopt;
#else
    constexpr qulonglong widest = std::numeric_limits<std::uint32_t>::max();
    switch (value.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong: {
            // Values this process wrote come back with the type they were written with.
            const qlonglong number = value.toLongLong();
            return number >= 0 && static_cast<qulonglong>(number) <= widest
                       ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(number))
                       : std::nullopt;
        }
        case QMetaType::UInt:
        case QMetaType::ULongLong: {
            const qulonglong number = value.toULongLong();
            return number <= widest ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(number))
                                    : std::nullopt;
        }
        case QMetaType::QString: {
            const QString text = value.toString();
            if (text.isEmpty() || !text.front().isDigit()) {  // no sign, no blank
                return std::nullopt;
            }
            bool ok = false;
            const qulonglong number = text.toULongLong(&ok, 10);
            return ok && number <= widest ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(number))
                                          : std::nullopt;
        }
        default:
            return std::nullopt;
    }
#endif
}

void loadNumber(QSettings& store, const char* name, std::uint16_t& field) {
    if (const auto number = storedNumber(store.value(name))) {
        field = static_cast<std::uint16_t>(*number & 0xFFFFu);
    }
}

}  // namespace

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
    // Written by newer versions only; a value that makes no layout is left out.
    const QVariant custom = store.value("CustomLayout");
    if (custom.typeId() == QMetaType::QString) {
        const std::string columns = custom.toString().toStdString();
        if (customCommaLayout(columnsOf(columns))) {
            settings.CustomLayout = columns;
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
    if (!settings.CustomLayout.empty()) {
        store.setValue("CustomLayout", QString::fromStdString(settings.CustomLayout));
    }
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
