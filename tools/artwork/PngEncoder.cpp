#include "PngEncoder.h"

#include "Palette.h"

#include <array>
#include <cstdlib>

namespace ortholume::artwork
{
namespace
{
constexpr juce::uint8 colourTypePalette = 3;
constexpr juce::uint8 colourTypeRgba = 6;
constexpr int bestCompression = 9;

juce::uint32 crc32 (const juce::uint8* data, size_t size, juce::uint32 crc = 0xffffffffu)
{
    static const auto table = [] {
        std::array<juce::uint32, 256> t {};

        for (juce::uint32 n = 0; n < 256; ++n)
        {
            auto c = n;

            for (int k = 0; k < 8; ++k)
                c = (c & 1) != 0 ? 0xedb88320u ^ (c >> 1) : c >> 1;

            t[n] = c;
        }

        return t;
    }();

    for (size_t i = 0; i < size; ++i)
        crc = table[(crc ^ data[i]) & 0xff] ^ (crc >> 8);

    return crc;
}

void writeBigEndian (juce::MemoryOutputStream& out, juce::uint32 value)
{
    out.writeIntBigEndian ((int) value);
}

void writeChunk (juce::MemoryOutputStream& out, const char* type, const juce::MemoryBlock& data)
{
    juce::MemoryBlock typeAndData (type, 4);
    typeAndData.append (data.getData(), data.getSize());

    writeBigEndian (out, (juce::uint32) data.getSize());
    out.write (typeAndData.getData(), typeAndData.getSize());
    writeBigEndian (out, crc32 (static_cast<const juce::uint8*> (typeAndData.getData()),
                                typeAndData.getSize())
                             ^ 0xffffffffu);
}

juce::MemoryBlock header (const Pixels& pixels, juce::uint8 colourType)
{
    juce::MemoryOutputStream out;
    writeBigEndian (out, (juce::uint32) pixels.width);
    writeBigEndian (out, (juce::uint32) pixels.height);
    out.writeByte (8); // bits per sample or palette index
    out.writeByte ((char) colourType);
    out.writeByte (0); // deflate
    out.writeByte (0); // adaptive filtering
    out.writeByte (0); // not interlaced
    return out.getMemoryBlock();
}

juce::MemoryBlock deflate (const juce::MemoryBlock& raw)
{
    juce::MemoryOutputStream compressed;

    {
        // Window bits 0 asks for zlib's default: the zlib stream that PNG requires.
        juce::GZIPCompressorOutputStream zlib (compressed, bestCompression, 0);
        zlib.write (raw.getData(), raw.getSize());
        zlib.flush();
    }

    return compressed.getMemoryBlock();
}

int paeth (int a, int b, int c)
{
    const auto p = a + b - c;
    const auto pa = std::abs (p - a), pb = std::abs (p - b), pc = std::abs (p - c);

    if (pa <= pb && pa <= pc)
        return a;

    return pb <= pc ? b : c;
}

/** Applies each of the five PNG filters to a row and keeps the one with the
        smallest sum of absolute signed bytes (the usual heuristic). */
void appendFilteredRow (juce::MemoryBlock& raw, const std::vector<juce::uint8>& row,
                        const std::vector<juce::uint8>& previous, int bytesPerPixel)
{
    std::vector<juce::uint8> best;
    long bestScore = -1;

    for (int filter = 0; filter <= 4; ++filter)
    {
        std::vector<juce::uint8> candidate { (juce::uint8) filter };
        long score = 0;

        for (size_t i = 0; i < row.size(); ++i)
        {
            const int left = i >= (size_t) bytesPerPixel ? row[i - (size_t) bytesPerPixel] : 0;
            const int up = previous[i];
            const int upLeft = i >= (size_t) bytesPerPixel ? previous[i - (size_t) bytesPerPixel] : 0;
            const int predictor = filter == 0   ? 0
                                  : filter == 1 ? left
                                  : filter == 2 ? up
                                  : filter == 3 ? (left + up) / 2
                                                : paeth (left, up, upLeft);
            const auto value = (juce::uint8) (row[i] - predictor);
            candidate.push_back (value);
            score += std::abs ((int) (juce::int8) value);
        }

        if (bestScore < 0 || score < bestScore)
        {
            bestScore = score;
            best = std::move (candidate);
        }
    }

    raw.append (best.data(), best.size());
}

juce::MemoryBlock assemble (const juce::MemoryBlock& ihdr, const juce::MemoryBlock* plte,
                            const juce::MemoryBlock* trns, const juce::MemoryBlock& raw)
{
    static const juce::uint8 signature[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n' };

    juce::MemoryOutputStream out;
    out.write (signature, sizeof (signature));
    writeChunk (out, "IHDR", ihdr);

    if (plte != nullptr)
        writeChunk (out, "PLTE", *plte);

    if (trns != nullptr)
        writeChunk (out, "tRNS", *trns);

    writeChunk (out, "IDAT", deflate (raw));
    writeChunk (out, "IEND", {});
    return out.getMemoryBlock();
}
} // namespace

juce::MemoryBlock encodeRgbaPng (const Pixels& pixels)
{
    constexpr int bytesPerPixel = 4;
    const auto rowBytes = (size_t) (pixels.width * bytesPerPixel);

    juce::MemoryBlock raw;
    std::vector<juce::uint8> previous (rowBytes, 0), row (rowBytes);

    for (int y = 0; y < pixels.height; ++y)
    {
        for (int x = 0; x < pixels.width; ++x)
        {
            const auto argb = pixels.at (x, y);
            auto* out = row.data() + x * bytesPerPixel;
            out[0] = (juce::uint8) (argb >> 16);
            out[1] = (juce::uint8) (argb >> 8);
            out[2] = (juce::uint8) argb;
            out[3] = (juce::uint8) (argb >> 24);
        }

        appendFilteredRow (raw, row, previous, bytesPerPixel);
        std::swap (row, previous);
    }

    return assemble (header (pixels, colourTypeRgba), nullptr, nullptr, raw);
}

juce::MemoryBlock encodeIndexedPng (const Pixels& pixels, int maxColours)
{
    const auto indexed = quantise (pixels, maxColours);

    juce::MemoryOutputStream plte, trns;
    size_t lastTranslucent = 0;
    bool anyTranslucent = false;

    for (size_t i = 0; i < indexed.palette.size(); ++i)
    {
        const auto argb = indexed.palette[i];
        plte.writeByte ((char) (argb >> 16));
        plte.writeByte ((char) (argb >> 8));
        plte.writeByte ((char) argb);

        if ((argb >> 24) != 0xff)
        {
            anyTranslucent = true;
            lastTranslucent = i;
        }
    }

    // The transparency chunk may stop at the last entry that is not opaque.
    if (anyTranslucent)
        for (size_t i = 0; i <= lastTranslucent; ++i)
            trns.writeByte ((char) (indexed.palette[i] >> 24));

    // Palette images compress best unfiltered (filter type 0 on every row).
    juce::MemoryBlock raw;

    for (int y = 0; y < pixels.height; ++y)
    {
        const juce::uint8 noFilter = 0;
        raw.append (&noFilter, 1);
        raw.append (indexed.indices.data() + (size_t) (y * pixels.width), (size_t) pixels.width);
    }

    const auto plteBlock = plte.getMemoryBlock();
    const auto trnsBlock = trns.getMemoryBlock();
    return assemble (header (pixels, colourTypePalette), &plteBlock,
                     anyTranslucent ? &trnsBlock : nullptr, raw);
}
} // namespace ortholume::artwork
