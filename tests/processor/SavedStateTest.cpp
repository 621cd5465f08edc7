#include "ProcessorTestUtilities.h"

#include <gtest/gtest.h>

using namespace ortholume::testing;

namespace
{
/** A block as hosts store it: magic, length, text, zero byte. */
juce::MemoryBlock wrap (const std::string& text, juce::uint32 storedLength)
{
    juce::MemoryOutputStream out;
    out.writeInt (0x21324356);
    out.writeInt ((int) storedLength);
    out.write (text.data(), text.size());
    out.writeByte (0);
    return out.getMemoryBlock();
}

juce::MemoryBlock wrap (const std::string& text)
{
    return wrap (text, (juce::uint32) text.size());
}

/** A processor moved away from its defaults, with the change flag lowered. */
std::unique_ptr<VelloranAudioProcessor> processorAtGain (float gain, int mode)
{
    auto processor = std::make_unique<VelloranAudioProcessor>();
    ortholume::setGainParameter (*processor, gain);
    processor->setConversionMode (mode);
    processor->parametersChanged = false;
    return processor;
}
juce::MemoryBlock processorAtGainState (float gain, int mode)
{
    juce::MemoryBlock block;
    processorAtGain (gain, mode)->getStateInformation (block);
    return block;
}
} // namespace

TEST (SavedState, NewProcessorSavesTheKnownBlock)
{
    VelloranAudioProcessor processor;
    juce::MemoryBlock block;
    block.append ("stale", 5); // the save replaces whatever the block held
    processor.getStateInformation (block);

    const std::string text = "<Root><Gain>0.9</Gain><idxInputConfig>0</idxInputConfig></Root>";
    ASSERT_EQ (text.size(), 63u);
    ASSERT_EQ (block.getSize(), 72u);

    const auto* bytes = static_cast<const unsigned char*> (block.getData());
    const unsigned char header[] = { 0x56, 0x43, 0x32, 0x21, 0x3F, 0x00, 0x00, 0x00 };

    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ (bytes[i], header[i]) << "byte " << i;

    EXPECT_EQ (std::string (reinterpret_cast<const char*> (bytes + 8), 63), text);
    EXPECT_EQ (bytes[71], 0);
}

TEST (SavedState, ModeAndGainRoundTrip)
{
    auto source = processorAtGain (0.25f, 1);
    juce::MemoryBlock block;
    source->getStateInformation (block);

    VelloranAudioProcessor processor;
    processor.parametersChanged = false;
    restore (processor, block);

    EXPECT_EQ (ortholume::getGainParameter (processor), 0.25f);
    EXPECT_EQ (processor.idxInputConfig.load(), 1);
    EXPECT_EQ (bitsOf (processor.wGainTarget.load()), 0x3F3504F3u);
    EXPECT_EQ (processor.mixTarget.load(), 1.0f);
    EXPECT_TRUE (processor.parametersChanged.load());

    // The restore sets targets only: the audio glides from where it was.
    EXPECT_EQ (bitsOf (processor.wGainCurrent.load()), 0x3FB504F3u);
    EXPECT_EQ (processor.mixCurrent.load(), 0.0f);
    EXPECT_EQ (processor.outputGainCurrent.load(), 1.0f);
}

TEST (SavedState, UnreadableBlocksChangeNothing)
{
    const auto valid = wrap ("<Root><Gain>0.5</Gain><idxInputConfig>1</idxInputConfig></Root>");
    auto wrongMagic = valid;
    static_cast<char*> (wrongMagic.getData())[0] = 0x57;

    const std::vector<std::pair<const char*, juce::MemoryBlock>> blocks {
        { "empty", juce::MemoryBlock() },
        { "8 bytes", juce::MemoryBlock (valid.getData(), 8) },
        { "wrong magic", wrongMagic },
        { "length 0", wrap ("<Root><Gain>0.5</Gain></Root>", 0) },
        { "top bit set", wrap ("<Root><Gain>0.5</Gain></Root>", 0x80000020u) },
        { "not XML", wrap ("Gain=0.5") },
        { "x", wrap ("x") },
        { "unclosed", wrap ("<Root><Gain>0.5</Gain>") },
    };

    for (const auto& [name, block] : blocks)
    {
        auto processor = processorAtGain (0.7f, 0);
        restore (*processor, block);

        EXPECT_EQ (processor->gainParameterValue.load(), 0.7f) << name;
        EXPECT_EQ (processor->idxInputConfig.load(), 0) << name;
        EXPECT_FALSE (processor->parametersChanged.load()) << name;
    }

    auto processor = processorAtGain (0.7f, 0);
    processor->setStateInformation (nullptr, 0);
    EXPECT_FALSE (processor->parametersChanged.load());
}

TEST (SavedState, ElementsAreReadLeniently)
{
    struct Case
    {
        const char* name;
        std::string text;
        float gain;
        int mode;
    };

    const Case cases[] {
        { "upper-case names", "<ROOT><GAIN>0.5</GAIN><IDXINPUTCONFIG>1</IDXINPUTCONFIG></ROOT>", 0.5f, 1 },
        { "root name unchecked", "<Anything><Gain>0.25</Gain></Anything>", 0.25f, 0 },
        { "gain only keeps mode", "<Root><Gain>0.3</Gain></Root>", 0.3f, 0 },
        { "mode only keeps gain", "<Root><idxInputConfig>1</idxInputConfig></Root>", 0.7f, 1 },
        { "later element wins", "<Root><Gain>0.1</Gain><idxInputConfig>1</idxInputConfig><gain>0.2</gain><idxinputconfig>0</idxinputconfig></Root>", 0.2f, 0 },
        { "mode with white space and letters", "<Root><idxInputConfig>  1abc</idxInputConfig></Root>", 0.7f, 1 },
        { "mode without digits", "<Root><idxInputConfig>x</idxInputConfig></Root>", 0.7f, 0 },
        { "mode out of range kept", "<Root><idxInputConfig>-7</idxInputConfig></Root>", 0.7f, -7 },
        { "mode overflow saturates", "<Root><idxInputConfig>99999999999</idxInputConfig></Root>", 0.7f, 2147483647 },
        { "non-numeric gain is -90 dB", "<Root><Gain>loud</Gain></Root>", 0.0f, 0 },
        { "gain above range", "<Root><Gain>1.5</Gain></Root>", 1.5f, 0 },
        { "other elements ignored", "<Root><Volume>0.1</Volume><Gain a=\"1\">0.6</Gain></Root>", 0.6f, 0 },
        { "length beyond block is cut", "", 0.4f, 1 },
    };

    for (const auto& c : cases)
    {
        auto processor = processorAtGain (0.7f, 0);
        const auto block = c.text.empty()
                               ? wrap ("<Root><Gain>0.4</Gain><idxInputConfig>1</idxInputConfig></Root>", 5000)
                               : wrap (c.text);
        restore (*processor, block);

        EXPECT_EQ (processor->gainParameterValue.load(), c.gain) << c.name;
        EXPECT_EQ (processor->idxInputConfig.load(), c.mode) << c.name;
        EXPECT_TRUE (processor->parametersChanged.load()) << c.name;
    }
}

TEST (SavedState, GainsThatWouldBreakTheAudioAreRefused)
{
    for (const char* text : { "1e30", "nan", "inf", "-inf", "1e39" })
    {
        auto processor = processorAtGain (0.7f, 0);
        restore (*processor, wrap (std::string ("<Root><Gain>") + text + "</Gain><idxInputConfig>1</idxInputConfig></Root>"));

        EXPECT_EQ (processor->gainParameterValue.load(), 0.7f) << text;
        EXPECT_TRUE (std::isfinite (processor->outputGainTarget.load())) << text;
        EXPECT_EQ (processor->idxInputConfig.load(), 1) << text; // the rest of the block still applies
    }
}

TEST (SavedState, OutOfRangeModeSavesBackUnchanged)
{
    auto processor = processorAtGain (1.0f, 5);
    juce::MemoryBlock block;
    processor->getStateInformation (block);

    const std::string text (static_cast<const char*> (block.getData()) + 8, block.getSize() - 9);
    EXPECT_EQ (text, "<Root><Gain>1</Gain><idxInputConfig>5</idxInputConfig></Root>");
}

// Found by fuzzing: malformed UTF-8 made the framework's XML parser read past
// the end of the block (an AddressSanitizer heap-buffer-overflow). Such a block
// is refused whole; the sanitized run of this test catches any over-read.
TEST (SavedState, MalformedUtf8IsRefusedWhole)
{
    const std::string foundByFuzzing ("<Root><Gain>-1e30</Gain><idxInputConfig>-2147483648</idxInputConfig"
                                      "\xa1\xc1\xc3\xd0Root>");
    const std::string inValidXml ("<Root><Gain>0.5</Gain><idxInputConfig>1</idxInputConfig><Note>\xc3</Note></Root>");
    const std::string cutInsideASequence ("<Root><Gain>0.5</Gain><idxInputConfig>1</idxInputConfig></Root>\xe2\x82");
    // Also found by fuzzing: an overlong four-byte form overran the framework's string copy.
    const std::string overlong ("<Root><Gain>0.5</Gain><idxInputConfig>1</idxInputConfig><a>\xf0\x83\x8f\x98</a></Root>");
    const std::string surrogate ("<Root><Gain>0.5</Gain><idxInputConfig>1</idxInputConfig><a>\xed\xa0\x80</a></Root>");

    for (const auto& text : { foundByFuzzing, inValidXml, cutInsideASequence, overlong, surrogate })
    {
        auto processor = processorAtGain (0.7f, 0);
        restore (*processor, wrap (text, (juce::uint32) text.size()));

        EXPECT_EQ (processor->gainParameterValue.load(), 0.7f) << text;
        EXPECT_EQ (processor->idxInputConfig.load(), 0) << text;
        EXPECT_FALSE (processor->parametersChanged.load()) << text;
    }
}

TEST (SavedState, WellFormedNonAsciiTextStillRestores)
{
    auto processor = processorAtGain (0.7f, 0);
    restore (*processor, wrap ("<Root><Note>Caf\xc3\xa9 \xe2\x80\x94 \xf0\x9f\x8e\xa7</Note>"
                               "<Gain>0.5</Gain><idxInputConfig>1</idxInputConfig></Root>"));

    EXPECT_EQ (processor->gainParameterValue.load(), 0.5f);
    EXPECT_EQ (processor->idxInputConfig.load(), 1);
}

// Found by fuzzing: a processing instruction followed by text inside an element
// sent the framework's XML parser into an endless loop, hanging the host while
// it loads the session. Such a block is refused whole and returns at once.
TEST (SavedState, ProcessingInstructionInsideAnElementIsRefusedWithoutHanging)
{
    const std::string foundByFuzzing ("<Root>dxI<?xml version=\"1.0\" encoding=\"UTF-8\"?>/Root>");
    const std::string inTheGain ("<Root><Gain>0.5<?pi?>x</Gain><idxInputConfig>1</idxInputConfig></Root>");

    for (const auto& text : { foundByFuzzing, inTheGain })
    {
        auto processor = processorAtGain (0.7f, 0);
        restore (*processor, wrap (text));

        EXPECT_EQ (processor->gainParameterValue.load(), 0.7f) << text;
        EXPECT_FALSE (processor->parametersChanged.load()) << text;
    }
}

TEST (SavedState, LeadingXmlDeclarationStillRestores)
{
    auto processor = processorAtGain (0.7f, 0);
    restore (*processor, wrap ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                               "<Root><Gain>0.5</Gain><idxInputConfig>1</idxInputConfig></Root>"));

    EXPECT_EQ (processor->gainParameterValue.load(), 0.5f);
    EXPECT_EQ (processor->idxInputConfig.load(), 1);
}

// Found by fuzzing: a gain with an exponent of ten digits or more overflowed an
// int inside the framework's number reader (undefined behaviour; the value read
// was arbitrary). Such a gain is read as infinity and refused, or as zero.
TEST (SavedState, GainWithAnEnormousExponentIsReadAsInfinityOrZero)
{
    auto refused = processorAtGain (0.7f, 0);
    restore (*refused, wrap ("<Root><Gain>0.000000003e+30150820883</Gain></Root>"));
    EXPECT_EQ (refused->gainParameterValue.load(), 0.7f);

    auto zero = processorAtGain (0.7f, 0);
    restore (*zero, wrap ("<Root><Gain> 5e-000030150820883x</Gain></Root>"));
    EXPECT_EQ (zero->gainParameterValue.load(), 0.0f);

    auto ordinary = processorAtGain (0.7f, 0);
    restore (*ordinary, wrap ("<Root><Gain>5e-0001</Gain></Root>"));
    EXPECT_EQ (ordinary->gainParameterValue.load(), 0.5f);
}

// Found by fuzzing: a gain of -0 was kept as -0 and saved as text that reads
// back as +0, so a restored session did not save as it was loaded.
TEST (SavedState, NegativeZeroGainSavesAndRestoresAsZero)
{
    auto processor = processorAtGain (0.7f, 0);
    restore (*processor, wrap ("<Root><Gain>-0e-3111</Gain><idxInputConfig>1</idxInputConfig></Root>"));

    juce::MemoryBlock saved;
    processor->getStateInformation (saved);
    EXPECT_EQ (saved, processorAtGainState (0.0f, 1));

    restore (*processor, saved);
    juce::MemoryBlock again;
    processor->getStateInformation (again);
    EXPECT_EQ (again, saved);
}

// Found by fuzzing: a zero byte inside the text let the framework's XML parser
// run past it (an entity in a quoted attribute) and read beyond the block. The
// text ends at its first zero byte, as it does in every block we write.
TEST (SavedState, TextEndsAtItsFirstZeroByte)
{
    std::string foundByFuzzing ("<Rn 1=\"/###&#x");
    foundByFuzzing += '\0';
    foundByFuzzing += " p>/t><G>t><Ro-5e3Gi0<n>/" + std::string (33, '\xff') + "&p";

    auto processor = processorAtGain (0.7f, 0);
    restore (*processor, wrap (foundByFuzzing));
    EXPECT_EQ (processor->gainParameterValue.load(), 0.7f);

    std::string validThenZero ("<Root><Gain>0.5</Gain><idxInputConfig>1</idxInputConfig></Root>");
    validThenZero += '\0';
    validThenZero += "<Gain>0.1</Gain>";
    restore (*processor, wrap (validThenZero));
    EXPECT_EQ (processor->gainParameterValue.load(), 0.5f);
    EXPECT_EQ (processor->idxInputConfig.load(), 1);
}

// Found by fuzzing: text ending in a cut-off character reference ("&#x") made
// the framework's XML parser step over the end of the text and read beyond it.
TEST (SavedState, CutOffCharacterReferenceAtTheEndIsRefused)
{
    for (const std::string text : { "<Root><Gain>0.5</Gain><idxInputConfig>1</idxInputConfig><a b=\"&#x",
                                    "<Root><Gain>0.5</Gain><idxInputConfig>1</idxInputConfig>&#x",
                                    "<Root><Gain>0.5&#x" })
    {
        auto processor = processorAtGain (0.7f, 0);
        restore (*processor, wrap (text));
        EXPECT_EQ (processor->gainParameterValue.load(), 0.7f) << text;
        EXPECT_FALSE (processor->parametersChanged.load()) << text;
    }
}
