// Mutation run: files derived from the PNG suite (truncations, huge lengths
// and sizes, bytes flipped with the CRC fixed up so that the decoder goes
// deep, damaged filter bytes and pixel data, chunks moved, doubled or
// dropped).  Every file must be decoded or refused with an Exception, with
// no sanitizer report, within a per-file time limit and without asking for
// more memory than the bound.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <thread>

#include "tests/native/png/PngTestSupport.h"

// The sanitizer's own allocator refuses any single allocation past this.
extern "C" const char* __asan_default_options()
{
    return "max_allocation_size_mb=96:allocator_may_return_null=0";
}

namespace {

constexpr uint64_t KImageBound = uint64_t(64) << 20;
constexpr int KPerFileSeconds = 5;

// Aborts the run when one file takes longer than the limit.
class Watchdog {
    std::atomic<int64_t> FStarted{0};
    std::atomic<long> FCurrent{-1};
    std::atomic<bool> FStop{false};
    std::thread FThread;

    static int64_t Now()
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

public:
    Watchdog()
        : FThread([this] {
              while (!FStop) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(50));
                  const int64_t started = FStarted;
                  if (started && Now() - started > KPerFileSeconds * 1000) {
                      std::fprintf(stderr, "mutation %ld took more than %d s\n", long(FCurrent), KPerFileSeconds);
                      std::abort();
                  }
              }
          })
    {
    }
    ~Watchdog()
    {
        FStop = true;
        FThread.join();
    }
    void Start(long Index)
    {
        FCurrent = Index;
        FStarted = Now();
    }
    void Stop() { FStarted = 0; }
};

using Bytes = std::vector<uint8_t>;

struct Mutator {
    std::mt19937 Rng{20240611};
    uint32_t Below(uint32_t N) { return N ? uint32_t(Rng() % N) : 0; }

    static void SetLength(Bytes& B, const pngtest::ChunkRef& C, uint32_t L)
    {
        B[C.Offset] = uint8_t(L >> 24), B[C.Offset + 1] = uint8_t(L >> 16), B[C.Offset + 2] = uint8_t(L >> 8),
        B[C.Offset + 3] = uint8_t(L);
    }

    Bytes Truncate(const Bytes& B, int Step, int Steps)
    {
        Bytes m(B.begin(), B.begin() + long(B.size() * Step / Steps + Below(7)) % long(B.size()));
        return m;
    }

    Bytes HugeLength(const Bytes& B)
    {
        static const uint32_t values[] = {0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0x7FFFFFF0, 0x10000000, 0};
        Bytes m = B;
        const auto chunks = pngtest::Chunks(m);
        const auto& c = chunks[Below(uint32_t(chunks.size()))];
        const int pick = int(Below(8));
        SetLength(m, c, pick < 6 ? values[pick] : pick == 6 ? c.Length + 1 : c.Length - 1);
        return m;
    }

    Bytes Header(const Bytes& B)
    {
        static const uint32_t sizes[] = {0, 1, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 65536, 0x40000, 3, 100000};
        Bytes m = B;
        const auto chunks = pngtest::Chunks(m);
        const pngtest::ChunkRef& ihdr = chunks[0];
        uint8_t* d = m.data() + ihdr.Offset + 8;
        switch (Below(5)) {
        case 0: pngtest::SetBE32(d, sizes[Below(9)]); break;
        case 1: pngtest::SetBE32(d + 4, sizes[Below(9)]); break;
        case 2: d[8] = uint8_t(1u << Below(5)); break; // another valid-looking depth
        case 3: d[9] = uint8_t(Below(8)); break;
        default: d[12] = uint8_t(Below(3)); break;
        }
        pngtest::FixCrc(m, ihdr);
        return m;
    }

    Bytes FlipWithCrc(const Bytes& B)
    {
        Bytes m = B;
        const auto chunks = pngtest::Chunks(m);
        const auto& c = chunks[Below(uint32_t(chunks.size()))];
        if (c.Length == 0)
            return m;
        const int flips = 1 + int(Below(4));
        for (int i = 0; i < flips; ++i)
            m[c.Offset + 8 + Below(c.Length)] ^= uint8_t(1u << Below(8));
        pngtest::FixCrc(m, c);
        return m;
    }

    // Damages the inflated image data (filter bytes and samples), then
    // compresses it again into one IDAT with a good CRC.
    Bytes RawData(const Bytes& B)
    {
        const auto chunks = pngtest::Chunks(B);
        Bytes z;
        Bytes head(B.begin(), B.begin() + 8), tail;
        bool seen = false;
        for (const auto& c : chunks) {
            Bytes whole(B.begin() + long(c.Offset), B.begin() + long(c.Offset + 12 + c.Length));
            if (c.Type == "IDAT") {
                z.insert(z.end(), whole.begin() + 8, whole.end() - 4);
                seen = true;
            } else {
                (seen ? tail : head).insert((seen ? tail : head).end(), whole.begin(), whole.end());
            }
        }
        Bytes raw = pngtest::Inflate(z);
        if (raw.empty())
            return B;
        const int changes = 1 + int(Below(6));
        for (int i = 0; i < changes; ++i) {
            const size_t at = Below(uint32_t(raw.size()));
            raw[at] = Below(2) ? uint8_t(Rng()) : uint8_t(5 + Below(250));
        }
        if (Below(4) == 0)
            raw.resize(Below(uint32_t(raw.size())));
        pngtest::Writer w;
        w.Bytes = head;
        w.Chunk("IDAT", pngtest::Compress(raw));
        w.Bytes.insert(w.Bytes.end(), tail.begin(), tail.end());
        return w.Bytes;
    }

    // Moves, doubles or drops chunks, or inserts ancillary chunks of odd
    // lengths in front of the image data.
    Bytes Shuffle(const Bytes& B)
    {
        auto chunks = pngtest::Chunks(B);
        std::vector<Bytes> parts;
        for (const auto& c : chunks)
            parts.emplace_back(B.begin() + long(c.Offset), B.begin() + long(c.Offset + 12 + c.Length));
        const size_t n = parts.size();
        switch (Below(4)) {
        case 0: std::swap(parts[Below(uint32_t(n))], parts[Below(uint32_t(n))]); break;
        case 1: parts.insert(parts.begin() + Below(uint32_t(n)), parts[Below(uint32_t(n))]); break;
        case 2: parts.erase(parts.begin() + Below(uint32_t(n))); break;
        default: {
            static const char* types[] = {"tRNS", "PLTE", "bKGD", "gAMA", "IHDR", "sBIT"};
            Bytes data(Below(Below(2) ? 8 : 800));
            for (auto& v : data)
                v = uint8_t(Rng());
            pngtest::Writer w;
            w.Bytes.clear();
            w.Chunk(types[Below(6)], data);
            parts.insert(parts.begin() + 1 + Below(uint32_t(n - 1)), w.Bytes);
        }
        }
        Bytes m(B.begin(), B.begin() + 8);
        for (const auto& p : parts)
            m.insert(m.end(), p.begin(), p.end());
        return m;
    }
};

} // namespace

TEST(PngMutation, EveryMutatedFileIsDecodedOrRefused)
{
    const std::string dir = pngsuite::SuiteDir(KV_FIXTURES);
    ASSERT_FALSE(dir.empty()) << "PNG suite not found";
    std::vector<Bytes> originals;
    for (const pngsuite::Entry& e : pngsuite::Entries(dir))
        originals.push_back(pngsuite::ReadFile(dir + "/" + e.File));
    ASSERT_EQ(originals.size(), 100u);

    Mutator mut;
    Watchdog watchdog;
    long index = 0, decoded = 0, refused = 0;
    const int perFile = 220, rounds = 2;
    for (int round = 0; round < rounds; ++round) {
        for (const Bytes& original : originals) {
            for (int i = 0; i < perFile; ++i, ++index) {
                Bytes m;
                if (i < 40)
                    m = mut.Truncate(original, i, 40);
                else if (i < 60)
                    m = mut.HugeLength(original);
                else if (i < 80)
                    m = mut.Header(original);
                else if (i < 150)
                    m = mut.FlipWithCrc(original);
                else if (i < 190)
                    m = mut.RawData(original);
                else
                    m = mut.Shuffle(original);

                pngtest::Decoding d;
                d.Decoder.MaxImageBytes = KImageBound;
                d.Image.MaxBytes = KImageBound;
                watchdog.Start(index);
                try {
                    d.Run(m);
                    ++decoded;
                } catch (const Exception&) {
                    ++refused;
                } catch (const std::exception& e) {
                    ADD_FAILURE() << "mutation " << index << ": " << e.what();
                }
                watchdog.Stop();
            }
        }
    }
    std::printf("%ld mutated files: %ld decoded, %ld refused\n", index, decoded, refused);
    EXPECT_GE(index, 40000);
    EXPECT_GT(decoded, 0);
    EXPECT_GT(refused, 0);
}
