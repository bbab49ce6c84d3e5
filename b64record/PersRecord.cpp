#include "PersData.h"

#include <array>
#include <cstring>

namespace Velt_b64 {

std::uint8_t PickPersDataField(std::string_view record, std::uint8_t index, const char* separator,
                               std::string& field) {
    field.clear();
    if (index < 1 || index > kFieldCount)
        return StatusBadIndex;
    if (separator == nullptr)
        return StatusFailure;

    // Positions are kept at full width, so separators beyond the first 64 KiB of a record split
    // it as correctly as the ones before.
    std::array<std::size_t, kFieldCount> ends{};
    int count = 0;
    if (std::strlen(separator) == 1) {
        const char s = separator[0];
        for (std::size_t pos = record.find(s); pos != std::string_view::npos; pos = record.find(s, pos + 1)) {
            if (count == kFieldCount)
                return StatusBadRecord;
            ends[count++] = pos;
        }
    }
    if (count != kFieldCount)
        return StatusBadRecord;

    const std::size_t begin = index == 1 ? 0 : ends[index - 2] + 1;
    field.assign(record.substr(begin, ends[index - 1] - begin));
    return StatusOk;
}

} // namespace Velt_b64
