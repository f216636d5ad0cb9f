#include "files/stored_zip.h"

#include <array>
#include <ctime>
#include <fstream>
#include <iterator>

#include "files/output_file.h"

namespace files {
namespace {

constexpr std::uint32_t kLocalHeader = 0x04034b50;
constexpr std::uint32_t kCentralHeader = 0x02014b50;
constexpr std::uint32_t kEndOfCentral = 0x06054b50;
constexpr std::uint16_t kVersion = 20;        // 2.0: folders, stored entries
constexpr std::uint16_t kUtf8Names = 1 << 11; // general purpose flag bit 11
constexpr std::uint16_t kMadeByUnix = 3 << 8;
constexpr std::uint32_t kRegularFile = 0100644; // rw-r--r--
constexpr std::uint64_t kLimit = 0xFFFFFFFFu;   // beyond this ZIP64 would be needed

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(std::uint8_t(v));
    out.push_back(std::uint8_t(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// MS-DOS date and time, local time, two-second steps.
void dosNow(std::uint16_t& date, std::uint16_t& time) {
    const std::time_t now = std::time(nullptr);
    const std::tm local = *std::localtime(&now);
    date = std::uint16_t(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) | local.tm_mday);
    time = std::uint16_t((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
}

struct Written {
    std::string name;
    std::uint32_t crc, size, offset;
};

// The part of the local and central headers they share, from "version needed" to the
// name's length.
void putCommon(std::vector<std::uint8_t>& out, const Written& w, std::uint16_t date,
               std::uint16_t time) {
    put16(out, kVersion);
    put16(out, kUtf8Names);
    put16(out, 0); // stored
    put16(out, time);
    put16(out, date);
    put32(out, w.crc);
    put32(out, w.size); // compressed
    put32(out, w.size); // uncompressed
    put16(out, std::uint32_t(w.name.size()));
}

} // namespace

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

bool writeStoredZip(const std::string& zipPath, const std::vector<ZipEntry>& entries,
                    std::string* error) {
    std::uint16_t date = 0, time = 0;
    dosNow(date, time);
    std::vector<std::uint8_t> zip;
    std::vector<Written> written;
    for (const ZipEntry& e : entries) {
        std::ifstream in(e.path, std::ios::binary);
        if (!in.is_open()) {
            *error = "cannot read '" + e.path + "'";
            return false;
        }
        const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)),
                                             std::istreambuf_iterator<char>());
        if (zip.size() + data.size() + 30 + e.name.size() > kLimit || e.name.size() > 0xFFFF) {
            *error = "'" + e.path + "' does not fit a ZIP archive without ZIP64";
            return false;
        }
        const Written w{e.name, crc32(data.data(), data.size()), std::uint32_t(data.size()),
                        std::uint32_t(zip.size())};
        put32(zip, kLocalHeader);
        putCommon(zip, w, date, time);
        put16(zip, 0); // no extra field
        zip.insert(zip.end(), w.name.begin(), w.name.end());
        zip.insert(zip.end(), data.begin(), data.end());
        written.push_back(w);
    }
    const std::size_t central = zip.size();
    for (const Written& w : written) {
        put32(zip, kCentralHeader);
        // Made by "Unix": what Info-ZIP's zip writes on Linux. unzip then takes the names as
        // they are (as UTF-8, by flag bit 11), where for "MS-DOS" it reads them as code page
        // 437; Explorer and 7-Zip go by the flag either way.
        put16(zip, kMadeByUnix | kVersion);
        putCommon(zip, w, date, time);
        put16(zip, 0);                  // extra field
        put16(zip, 0);                  // comment
        put16(zip, 0);                  // disk
        put16(zip, 0);                  // internal attributes
        put32(zip, kRegularFile << 16); // external attributes: the Unix mode
        put32(zip, w.offset);
        zip.insert(zip.end(), w.name.begin(), w.name.end());
    }
    if (zip.size() > kLimit || written.size() > 0xFFFF) {
        *error = "the archive would need ZIP64";
        return false;
    }
    const std::size_t centralSize = zip.size() - central;
    put32(zip, kEndOfCentral);
    put16(zip, 0); // this disk
    put16(zip, 0); // the disk the central directory starts on
    put16(zip, std::uint32_t(written.size()));
    put16(zip, std::uint32_t(written.size()));
    put32(zip, std::uint32_t(centralSize));
    put32(zip, std::uint32_t(central));
    put16(zip, 0); // comment
    return writeWholeFile(zipPath, zip.data(), zip.size(), {}, error);
}

} // namespace files
