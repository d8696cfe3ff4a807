// The library's pictures are in the program: RCDATA resources holding
// 8-bit RGBA PNGs of the sizes the library reads, without gamma chunks
// (a gamma chunk would make decoders recolour them), and the same bytes
// the build drew.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "BuiltinSkin.h"
#include "classlib/rtl/Streams.h"

using namespace builtin;

namespace {

struct WantedPicture {
    const wchar_t* Name;
    uint32_t Width, Height;
};

const WantedPicture kPictures[] = {
    {L"KVSHDA", 64, 64}, {L"KVSHDI", 64, 64}, {L"SF", 48, 16}, {L"SR", 48, 16},
    {L"SD", 48, 16},     {L"SE", 48, 16},     {L"SC", 48, 16}, {L"KVGL", 60, 20},
};

std::vector<uint8_t> Resource(const wchar_t* name)
{
    TResourceStream s(GetModuleHandleW(nullptr), name, rtRCData);
    std::vector<uint8_t> bytes(size_t(s.Size()));
    if (!bytes.empty())
        s.ReadBuffer(bytes.data(), int32_t(bytes.size()));
    return bytes;
}

uint32_t BigEndian(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

// The chunk types in order; an empty list for a damaged file.
std::vector<std::string> Chunks(const std::vector<uint8_t>& png)
{
    static const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::string> kinds;
    if (png.size() < 8 || !std::equal(sig, sig + 8, png.begin()))
        return {};
    for (size_t pos = 8; pos + 12 <= png.size();) {
        const uint32_t len = BigEndian(png, pos);
        if (pos + 12 + len > png.size())
            return {};
        kinds.emplace_back(png.begin() + pos + 4, png.begin() + pos + 8);
        pos += 12 + len;
    }
    return kinds;
}

} // namespace

TEST(SkinPictures, AreRgbaPngResourcesOfTheirSizes)
{
    for (const WantedPicture& p : kPictures) {
        SCOPED_TRACE(p.Name);
        const std::vector<uint8_t> png = Resource(p.Name);
        const std::vector<std::string> kinds = Chunks(png);
        ASSERT_GE(kinds.size(), 3u);
        EXPECT_EQ(kinds.front(), "IHDR");
        EXPECT_EQ(kinds.back(), "IEND");
        EXPECT_EQ(std::count(kinds.begin(), kinds.end(), "gAMA"), 0);
        EXPECT_EQ(BigEndian(png, 16), p.Width);
        EXPECT_EQ(BigEndian(png, 20), p.Height);
        EXPECT_EQ(png[24], 8) << "bit depth";
        EXPECT_EQ(png[25], 6) << "colour type RGBA";
        EXPECT_EQ(png[28], 0) << "interlace";
        EXPECT_EQ(png, FileBytes(Path(std::wstring(L"pictures/") + p.Name + L".png")));
    }
}
