#include "StateBlock.h"

#include <algorithm>
#include <limits>
#include <memory>

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
/** Well-formed UTF-8 as RFC 3629 defines it: no overlong forms, no surrogates,
    nothing beyond U+10FFFF, no sequence cut short. */
bool isStrictUtf8 (const char* text, int length) noexcept
{
    const auto* p = reinterpret_cast<const unsigned char*> (text);
    const auto* end = p + length;

    while (p < end)
    {
        const auto lead = *p++;

        if (lead < 0x80)
            continue;

        int extra = 0;
        unsigned char low = 0x80, high = 0xbf; // allowed range of the first continuation byte

        if (lead >= 0xc2 && lead <= 0xdf)
        {
            extra = 1;
        }
        else if (lead == 0xe0)
        {
            extra = 2;
            low = 0xa0;
        }
        else if (lead >= 0xe1 && lead <= 0xec)
        {
            extra = 2;
        }
        else if (lead == 0xed)
        {
            extra = 2;
            high = 0x9f;
        }
        else if (lead >= 0xee && lead <= 0xef)
        {
            extra = 2;
        }
        else if (lead == 0xf0)
        {
            extra = 3;
            low = 0x90;
        }
        else if (lead >= 0xf1 && lead <= 0xf3)
        {
            extra = 3;
        }
        else if (lead == 0xf4)
        {
            extra = 3;
            high = 0x8f;
        }
        else
        {
            return false;
        }

        if (end - p < extra || *p < low || *p > high)
            return false;

        for (int i = 0; i < extra; ++i, ++p)
            if ((*p & 0xc0) != 0x80)
                return false;
    }

    return true;
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

std::unique_ptr<juce::XmlElement> readStateBlock (const void* data, int sizeInBytes)
{
    constexpr int headerBytes = 8;

    if (data == nullptr || sizeInBytes <= headerBytes)
        return {};

    const auto* bytes = static_cast<const char*> (data);

    if (juce::ByteOrder::littleEndianInt (bytes) != stateMagicNumber)
        return {};

    const auto declaredLength = (int) juce::ByteOrder::littleEndianInt (bytes + 4);

    if (declaredLength <= 0)
        return {};

    const auto* text = bytes + headerBytes;
    const auto available = juce::jmin (sizeInBytes - headerBytes, declaredLength);

    // The text ends at its first zero byte, as it does when we write it: the
    // parser would otherwise walk past that terminator into whatever follows.
    const auto length = (int) (std::find (text, text + available, '\0') - text);

    // The framework's string and XML code read and write past the end of their
    // buffers when a multi-byte sequence is malformed or overlong, so such a
    // block is refused whole; every block we have ever written is valid UTF-8.
    if (! isStrictUtf8 (text, length))
        return {};

    const auto xmlText = juce::String::fromUTF8 (text, length);

    // The parser never returns from a processing instruction ("<?...?>")
    // followed by text inside an element. Only a leading XML declaration has
    // any business in a block, so anything else of the kind is refused whole.
    const auto afterDeclaration = xmlText.trimStart().startsWith ("<?") ? xmlText.indexOf ("?>") : 0;

    if (afterDeclaration < 0 || xmlText.indexOf (afterDeclaration, "<?") >= 0)
        return {};

    // A character reference cut off at the very end ("&#x") makes the parser
    // step over the terminator. White space after the document means nothing
    // to XML and gives it room to stop.
    constexpr int safetyMargin = 16;
    return juce::parseXML (xmlText + juce::String::repeatedString (" ", safetyMargin));
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

double parseLeadingDecimal (const juce::String& text)
{
    // The framework's reader overflows an int on an exponent of ten digits or
    // more. Any exponent beyond four significant digits is outside double's
    // range either way (infinity or zero), so it is cut to 9999 first.
    constexpr size_t maxExponentDigits = 4;
    auto number = text.toStdString();

    for (size_t i = 0; i < number.size(); ++i)
    {
        if (number[i] != 'e' && number[i] != 'E')
            continue;

        auto digits = i + 1;

        if (digits < number.size() && (number[digits] == '+' || number[digits] == '-'))
            ++digits;

        while (digits < number.size() && number[digits] == '0')
            ++digits;

        auto end = digits;

        while (end < number.size() && number[end] >= '0' && number[end] <= '9')
            ++end;

        if (end - digits > maxExponentDigits)
            number.replace (digits, end - digits, "9999");
    }

    return juce::String::fromUTF8 (number.c_str(), (int) number.size()).getDoubleValue();
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
