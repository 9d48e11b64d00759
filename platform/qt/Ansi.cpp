#include "platform/qt/Ansi.h"

#include "platform/core/Cp1252.h"

namespace platform {

namespace {

// Every character of the code page, looked up rather than computed: long lists (search
// results, large pages) convert many lines.
struct Cp1252Table {
    char16_t unicode[256];
    Cp1252Table() {
        for (int b = 0; b < 256; ++b) {
            unicode[b] = static_cast<char16_t>(Cp1252ToUnicode(static_cast<unsigned char>(b)));
        }
    }
};

} // namespace

QString ToQString(std::string_view ansi) {
    static const Cp1252Table table;
    QString out;
    out.resize(static_cast<qsizetype>(ansi.size()));
    QChar* data = out.data();
    for (std::size_t i = 0; i < ansi.size(); ++i) {
        data[i] = QChar(table.unicode[static_cast<unsigned char>(ansi[i])]);
    }
    return out;
}

std::string FromQString(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i; // one character outside the code page, not two
            out += '?';
            continue;
        }
        const int byte = UnicodeToCp1252(c.unicode());
        out += byte < 0 ? '?' : static_cast<char>(byte);
    }
    return out;
}

} // namespace platform
