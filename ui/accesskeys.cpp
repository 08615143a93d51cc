#include "ui/accesskeys.h"

#include <array>

namespace vantrel {

namespace {

// Index into the 36 possible access characters, or -1 for a byte that cannot be one.
// Bytes of multi-byte UTF-8 sequences are all >= 0x80 and so never match.
int keySlot(unsigned char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return 10 + (c - 'A');
    if (c >= 'a' && c <= 'z')
        return 10 + (c - 'a');
    return -1;
}

} // namespace

std::vector<int> assignAccessKeys(const std::vector<std::string>& captions) {
    std::array<bool, 36> taken{};
    std::vector<int> offsets;
    offsets.reserve(captions.size());
    for (const std::string& caption : captions) {
        int chosen = -1;
        for (std::size_t i = 0; i < caption.size(); ++i) {
            const int slot = keySlot(static_cast<unsigned char>(caption[i]));
            if (slot >= 0 && !taken[slot]) {
                taken[slot] = true;
                chosen = static_cast<int>(i);
                break;
            }
        }
        offsets.push_back(chosen);
    }
    return offsets;
}

std::string withAccessMark(const std::string& caption, int offset) {
    std::string marked;
    marked.reserve(caption.size() + 2);
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (offset >= 0 && i == static_cast<std::size_t>(offset))
            marked += '&';
        if (caption[i] == '&')
            marked += '&';
        marked += caption[i];
    }
    return marked;
}

} // namespace vantrel
