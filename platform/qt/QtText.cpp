#include "platform/qt/QtText.h"

namespace platform {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string fromQString(const QString& text) {
    return text.toStdString();
}

} // namespace platform
