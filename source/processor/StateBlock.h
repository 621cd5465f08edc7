#pragma once

#include <juce_core/juce_core.h>

#include <memory>

namespace ortholume
{
/** Element names of the saved state. Hosts keep these in their projects: never change them. */
constexpr const char* stateRootName = "Root";
constexpr const char* stateGainName = "Gain";
constexpr const char* stateModeName = "idxInputConfig";

/** Wraps an XML tree in the binary block hosts store: the magic number
    0x21324356, the text length, the XML text on one line with no declaration,
    and a zero byte. Replaces the block's contents. */
void writeStateBlock (const juce::XmlElement& xml, juce::MemoryBlock& destination);

/** Reads a block written by writeStateBlock (or by any earlier release): the XML
    tree, or nullptr if the block is not one, is cut before its text, its text
    is not valid UTF-8, or it holds a processing instruction after the start. */
std::unique_ptr<juce::XmlElement> readStateBlock (const void* data, int sizeInBytes);

/** Element names match whatever their ASCII letter case; other letters must match exactly. */
bool namesMatchIgnoringAsciiCase (const juce::String& name, const char* expected) noexcept;

/** Reads a decimal number as String::getDoubleValue does (leading white space,
    trailing text ignored, 0 without digits), but safe for any exponent. */
double parseLeadingDecimal (const juce::String& text);

/** Reads a decimal integer as the C library's atoi does (leading white space, an
    optional sign, digits up to the first non-digit, 0 without digits), but
    saturates at the int range instead of overflowing. */
int parseLeadingInteger (const juce::String& text) noexcept;
} // namespace ortholume
