#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace scortavia {

// The core library speaks UTF-8 std::string; the screens speak QString.
inline QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string toStd(const QString& text) { return text.toStdString(); }

}  // namespace scortavia
