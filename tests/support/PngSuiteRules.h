// The PNG test suite under tests/fixtures/pngsuite and the reader's own
// rules for comparing with its reference pixels (8-bit RGBA, no gamma).
// Windows-free and header-only: the Wine tests and the native tests share it.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace pngsuite {

inline bool DirExists(const std::string& Path)
{
    std::ifstream f(Path + "/expected.tsv");
    return f.good();
}

// The suite is kept with the test fixtures (tests/fixtures/pngsuite).
inline std::string SuiteDir(const std::string& Fixtures)
{
    const std::string d = Fixtures + "/pngsuite";
    return DirExists(d) ? d : std::string();
}

inline std::vector<uint8_t> ReadFile(const std::string& Path)
{
    std::ifstream f(Path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

struct Entry {
    std::string File; // "primary/basn0g01.png"
    int Width = 0, Height = 0, BitDepth = 0, ColorType = 0, Interlace = 0;
    uint32_t Gamma = 0; // gAMA value, 0 when the file has none
    std::string Name() const
    {
        const size_t slash = File.rfind('/');
        return File.substr(slash + 1, File.size() - slash - 5);
    }
};

inline std::vector<Entry> Entries(const std::string& Dir)
{
    std::vector<Entry> list;
    std::ifstream f(Dir + "/expected.tsv");
    std::string line;
    std::getline(f, line); // column names
    while (std::getline(f, line)) {
        std::stringstream s(line);
        std::string cell[8];
        for (auto& c : cell)
            std::getline(s, c, '\t');
        if (cell[0].empty() || cell[1].empty())
            continue;
        Entry e;
        e.File = cell[0];
        e.Width = std::stoi(cell[1]);
        e.Height = std::stoi(cell[2]);
        e.BitDepth = std::stoi(cell[3]);
        e.ColorType = std::stoi(cell[4]);
        e.Interlace = std::stoi(cell[5]);
        e.Gamma = cell[6].empty() ? 0 : uint32_t(std::stoul(cell[6]));
        list.push_back(e);
    }
    return list;
}

// The reader's gamma rule: display gamma 2.2, rounded half to even.
inline std::vector<uint8_t> GammaTable(uint32_t GammaValue)
{
    std::vector<uint8_t> t(256);
    const double main = GammaValue ? GammaValue / 100000.0 : 0;
    const double e = 1.0 / ((main > 0 ? double(float(main)) : 1.0) * double(2.2f));
    for (int i = 0; i < 256; ++i)
        t[i] = GammaValue ? uint8_t(std::nearbyint(255 * std::pow(i / 255.0, e))) : uint8_t(i);
    return t;
}

// The reference pixels as the reader shows them: colours through the
// gamma table when the file has gAMA; alpha as the reference has it.
inline std::vector<uint8_t> Expected(const std::string& Dir, const Entry& E)
{
    std::vector<uint8_t> px = ReadFile(Dir + "/expected/" + E.Name() + ".rgba");
    const std::vector<uint8_t> g = GammaTable(E.Gamma);
    for (size_t i = 0; i + 3 < px.size(); i += 4)
        for (int c = 0; c < 3; ++c)
            px[i + c] = g[px[i + c]];
    return px;
}

// A decoded image in bitmap terms: rows top to bottom, each Stride bytes.
struct Decoded {
    int Width = 0, Height = 0, Bits = 0;
    std::vector<uint32_t> Palette; // 0x00RRGGBB per entry
    std::vector<std::vector<uint8_t>> Rows;
};

// RGBA of a decoded image: palette lookups and BGR(A) reordered.
inline std::vector<uint8_t> ToRGBA(const Decoded& D)
{
    std::vector<uint8_t> out;
    out.reserve(size_t(D.Width) * D.Height * 4);
    for (const auto& row : D.Rows)
        for (int x = 0; x < D.Width; ++x) {
            uint8_t r = 0, g = 0, b = 0, a = 255;
            if (D.Bits <= 8) {
                const int bit = x * D.Bits;
                const unsigned idx = (row[bit / 8] >> (8 - D.Bits - bit % 8)) & ((1u << D.Bits) - 1);
                const uint32_t c = idx < D.Palette.size() ? D.Palette[idx] : 0;
                r = uint8_t(c >> 16), g = uint8_t(c >> 8), b = uint8_t(c);
            } else {
                const uint8_t* p = row.data() + x * (D.Bits / 8);
                b = p[0], g = p[1], r = p[2];
                if (D.Bits == 32)
                    a = p[3];
            }
            out.insert(out.end(), {r, g, b, a});
        }
    return out;
}

// The first differing pixel, as text; empty when the images agree.
inline std::string FirstDifference(const std::vector<uint8_t>& Got, const std::vector<uint8_t>& Want, int Width)
{
    if (Got.size() != Want.size())
        return "size " + std::to_string(Got.size()) + " != " + std::to_string(Want.size());
    for (size_t i = 0; i < Got.size(); i += 4)
        for (int c = 0; c < 4; ++c)
            if (Got[i + c] != Want[i + c]) {
                char buf[160];
                std::snprintf(buf, sizeof buf, "pixel (%d,%d): got %d,%d,%d,%d want %d,%d,%d,%d", int(i / 4 % Width),
                              int(i / 4 / Width), Got[i], Got[i + 1], Got[i + 2], Got[i + 3], Want[i], Want[i + 1],
                              Want[i + 2], Want[i + 3]);
                return buf;
            }
    return std::string();
}

} // namespace pngsuite
