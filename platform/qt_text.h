// Text between the engine (UTF-8 in std::string) and Qt (QString).
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace sweepwav {

inline QString ToQString(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string ToUtf8(const QString& text) { return text.toUtf8().toStdString(); }

}  // namespace sweepwav
