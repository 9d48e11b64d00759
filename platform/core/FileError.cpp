#include "platform/core/FileError.h"

namespace platform {

FileTooLarge::FileTooLarge(std::string path, std::uint64_t size, std::uint64_t limit)
    : FileError(std::move(path), "the file is " + sizeText(size) + ", more than the " + sizeText(limit) + " it may be"),
      m_size(size) {
}

std::string sizeText(std::uint64_t bytes) {
    constexpr std::uint64_t kKilo = 1024, kMega = kKilo * 1024, kGiga = kMega * 1024;
    if (bytes < kKilo) {
        return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
    }
    if (bytes < kMega) {
        return std::to_string(bytes / kKilo) + " KB";
    }
    if (bytes < kGiga) {
        return std::to_string(bytes / kMega) + " MB";
    }
    if (bytes < 10 * kGiga) {
        // One decimal, rounded down like the units above: never more than the file holds.
        const std::uint64_t tenths = bytes * 10 / kGiga;
        return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " GB";
    }
    return std::to_string(bytes / kGiga) + " GB";
}

} // namespace platform
