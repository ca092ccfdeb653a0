// The variable part of a message: strings after the fixed header, each as long as the header
// says. Reading checks every length against what arrived.
#pragma once

#include <QByteArrayView>

#include <cstring>
#include <string>
#include <vector>

namespace mv::sandbox {

// The header, then each string, as one message.
template <typename Header>
std::vector<char> messageOf(const Header& header, std::initializer_list<QByteArrayView> strings)
{
    std::vector<char> bytes(sizeof header);
    std::memcpy(bytes.data(), &header, sizeof header);
    for (QByteArrayView s : strings)
        bytes.insert(bytes.end(), s.begin(), s.end());
    return bytes;
}

class WireReader {
public:
    explicit WireReader(const std::vector<char>& bytes) : bytes_(bytes) {}

    // The fixed header; false when the message is shorter.
    template <typename Header>
    bool header(Header& out)
    {
        if (bytes_.size() < sizeof out)
            return false;
        std::memcpy(&out, bytes_.data(), sizeof out);
        at_ = sizeof out;
        return true;
    }
    // The next `length` bytes; false when fewer are left or length exceeds limit.
    bool text(std::uint32_t length, std::uint32_t limit, std::string& out)
    {
        if (length > limit || bytes_.size() - at_ < length)
            return false;
        out.assign(bytes_.data() + at_, length);
        at_ += length;
        return true;
    }
    // Everything was read, nothing is left over.
    [[nodiscard]] bool atEnd() const { return at_ == bytes_.size(); }

private:
    const std::vector<char>& bytes_;
    std::size_t at_ = 0;
};

} // namespace mv::sandbox
