#pragma once

namespace ortholume
{
/** The window's fixed size, which is the background artwork's; the panels laid
    over it cover it whole. */
constexpr int editorWidth = 443;
constexpr int editorHeight = 233;
} // namespace ortholume
