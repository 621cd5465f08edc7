#include "StateBlock.h"

#include <limits>

namespace ortholume
{
namespace
{
constexpr juce::uint32 stateMagicNumber = 0x21324356;

bool isCWhiteSpace (juce::juce_wchar c) noexcept
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

juce::juce_wchar toAsciiLower (juce::juce_wchar c) noexcept
{
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}
} // namespace

void writeStateBlock (const juce::XmlElement& xml, juce::MemoryBlock& destination)
{
    // Written by hand because this framework release puts an XML declaration
    // in front of single-line text, which saved sessions have never carried.
    const auto text = xml.toString (juce::XmlElement::TextFormat().singleLine().withoutHeader());
    const auto textBytes = (juce::uint32) text.getNumBytesAsUTF8();

    destination.setSize (0);
    juce::MemoryOutputStream out (destination, false);
    out.writeInt ((int) stateMagicNumber);
    out.writeInt ((int) textBytes);
    out.write (text.toRawUTF8(), textBytes);
    out.writeByte (0);
    out.flush();
}

bool namesMatchIgnoringAsciiCase (const juce::String& name, const char* expected) noexcept
{
    auto actual = name.getCharPointer();

    for (auto* e = expected;; ++e)
    {
        const auto a = actual.getAndAdvance();

        if (toAsciiLower (a) != toAsciiLower ((juce::juce_wchar) (unsigned char) *e))
            return false;

        if (*e == 0)
            return true;
    }
}

int parseLeadingInteger (const juce::String& text) noexcept
{
    auto p = text.getCharPointer();

    while (isCWhiteSpace (*p))
        ++p;

    bool negative = false;

    if (*p == '-' || *p == '+')
        negative = (p.getAndAdvance() == '-');

    constexpr auto limit = (juce::int64) std::numeric_limits<int>::max() + 1;
    juce::int64 magnitude = 0;

    for (; *p >= '0' && *p <= '9'; ++p)
        magnitude = juce::jmin (limit, magnitude * 10 + (*p - '0'));

    const auto value = negative ? -magnitude : magnitude;
    return (int) juce::jlimit ((juce::int64) std::numeric_limits<int>::min(),
                               (juce::int64) std::numeric_limits<int>::max(),
                               value);
}
} // namespace ortholume
